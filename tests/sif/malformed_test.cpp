// Corrupt data files: each gives one line naming the file, the record, the
// entry and what is wrong, and ends the program with exit status 2, in
// process and through the real program.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/driver/program_run.hpp"
#include "tests/sif/sif_file.hpp"

namespace morlan {
namespace {

using testing::SifFile;

int line_of(const std::string& text, const std::string& piece) {
  const auto pos = text.find(piece);
  EXPECT_NE(pos, std::string::npos) << piece;
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(pos), '\n'));
}

struct Case {
  std::string name;
  std::string text;
  std::string message;
};

// The four kinds of corruption, on the hand-made problem.
std::vector<Case> corrupt_files() {
  std::vector<Case> cases;
  const SifFile toy = testing::toy_problem();
  const std::string good = toy.text();
  {
    // Cut after the element list of the groups (record 13).
    const std::string ieling = testing::int_lines(toy.ieling);
    const auto end = good.find(ieling) + ieling.size();
    const std::string text = good.substr(0, end);
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    cases.push_back({"truncated", text,
                     "OUTSDIF.d: record 14 (IELVAR), entry 1: the file ends early (after line " +
                         std::to_string(lines) + ")\n"});
  }
  {
    const std::string a_line = testing::real_lines(toy.a).substr(0, 65);
    std::string bad_line = a_line;
    bad_line.replace(16, 16, "  1.0000x000D+00");
    std::string text = good;
    text.replace(text.find(a_line), a_line.size(), bad_line);
    cases.push_back({"bad number", text,
                     "OUTSDIF.d: record 16 (A), entry 2: unreadable real '1.0000x000D+00' on line " +
                         std::to_string(line_of(good, a_line)) + "\n"});
  }
  {
    SifFile f = toy;
    f.istaev[3] = 40;
    cases.push_back({"pointer out of range", f.text(),
                     "OUTSDIF.d: record 7 (ISTAEV), entry 4: pointer 40 outside 1..12\n"});
  }
  {
    SifFile f = toy;
    f.ielvar[4] = 201;
    cases.push_back({"index out of range", f.text(),
                     "OUTSDIF.d: record 14 (IELVAR), entry 5: variable index 201 outside 1..5\n"});
  }
  return cases;
}

TEST(MalformedFile, StopsWithItsLineInProcess) {
  for (const Case& c : corrupt_files()) {
    const auto run = testing::run_setup(c.text);
    EXPECT_TRUE(run.stopped) << c.name;
    EXPECT_EQ(run.status, 2) << c.name;
    EXPECT_EQ(run.err, c.message) << c.name;
    EXPECT_EQ(run.out, "") << c.name;
  }
}

TEST(MalformedFile, StopsWithItsLineThroughTheProgram) {
  for (const Case& c : corrupt_files()) {
    testing_support::RunSetup setup;
    setup.files = {{"OUTSDIF.d", c.text}};
    const auto run = testing_support::run_program(testing_support::morlan_binary(), "", setup);
    EXPECT_EQ(run.status, 2) << c.name;
    EXPECT_EQ(run.err, c.message) << c.name;
    EXPECT_EQ(run.out, "") << c.name;
  }
}

// Further violations of what evaluation relies on, each with its message.
TEST(MalformedFile, EveryStructuralCheck) {
  const SifFile toy = testing::toy_problem();
  struct Variant {
    void (*change)(SifFile&);
    std::string message;
  };
  const Variant variants[] = {
      {[](SifFile& f) { f.istep[1] = 0; },
       "record 8 (ISTEP), entry 2: pointer 0 outside 1..6"},
      {[](SifFile& f) { f.istadg[2] = 2; },
       "record 4 (ISTADG), entry 3: pointer 2 less than the one before (3)"},
      {[](SifFile& f) { f.itypee[1] = 4; },
       "record 11 (ITYPEE), entry 2: element type 4 unknown (types 1..3)"},
      {[](SifFile& f) { f.itypee[0] = 2; },
       "record 11 (ITYPEE), entry 1: element 1 of type 2 has 3 variables and 1 parameters "
       "(records 7 and 8), its type needs 4 and 2"},
      {[](SifFile& f) { f.intvar[2] = 3; },
       "record 12 (INTVAR), entry 3: element 3 has 3 internal variables, its type needs 4"},
      {[](SifFile& f) { f.ieling[5] = 4; }, "record 13 (IELING), entry 6: element index 4 outside 1..3"},
      {[](SifFile& f) { f.icna[0] = 0; }, "record 15 (ICNA), entry 1: variable index 0 outside 1..5"},
      {[](SifFile& f) {
         // Group 7 lists element 1 eight times: more than ICALC holds.
         f.ieling.insert(f.ieling.end(), 7, 1);
         f.escale.insert(f.escale.end(), 7, 1.0);
         f.istadg[7] = 14;
       },
       "record 4 (ISTADG), entry 8: group 7 has 8 element entries, more than the 7 an "
       "evaluation list holds"},
  };
  for (const Variant& v : variants) {
    SifFile f = toy;
    v.change(f);
    const auto run = testing::run_setup(f.text());
    EXPECT_EQ(run.status, 2) << v.message;
    EXPECT_EQ(run.err, "OUTSDIF.d: " + v.message + "\n");
  }
  // Text-level faults: a negative count, an unreadable class, a logical.
  std::string text = toy.text();
  text.replace(12, 6, "    -1");  // NELEM
  auto run = testing::run_setup(text);
  EXPECT_EQ(run.err, "OUTSDIF.d: record 1 (sizes), entry 3: NELEM = -1 is negative\n");
  text = toy.text();
  text.replace(text.find(" 3TOY"), 5, " xTOY");
  run = testing::run_setup(text);
  EXPECT_EQ(run.err, "OUTSDIF.d: record 2 (KCLASS, PRBNAM), entry 1: unreadable integer 'x' on line 2\n");
  text = toy.text();
  const int intrep_line = line_of(text, "\nFTF\n") + 1;
  text.replace(text.find("\nFTF\n"), 5, "\nF?F\n");
  run = testing::run_setup(text);
  EXPECT_EQ(run.err, "OUTSDIF.d: record 28 (INTREP), entry 2: unreadable logical '?' on line " +
                         std::to_string(intrep_line) + "\n");
  EXPECT_EQ(run.status, 2);
}

}  // namespace
}  // namespace morlan
