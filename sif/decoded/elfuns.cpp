// Decoded element functions of the linked problem (placeholder).
namespace morlan {}
