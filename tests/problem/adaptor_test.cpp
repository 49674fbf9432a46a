// The problem adaptor on the hand-made problem: start-up (bounds, kinds,
// clamping), the six evaluation routines, the one-sided inequality walk and
// every message of the start-up and the walk.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "io/console.hpp"
#include "problem/adaptor.hpp"
#include "sif/evaluate.hpp"
#include "tests/sif/sif_file.hpp"
#include "tests/sif/toy_values.hpp"

namespace morlan {
namespace {

// Runs `body` inside a fresh directory holding `files`, with stops thrown
// and standard output captured. Returns the stop status, or -1.
struct InDirectory {
  std::string out;
  int status = -1;

  template <class Body>
  InDirectory(const std::vector<std::pair<std::string, std::string>>& files, Body body,
              bool data_is_directory = false) {
    const std::string dir = testing::make_temp_dir();
    for (const auto& [name, text] : files) testing::write_file(dir + "/" + name, text);
    if (data_is_directory) std::filesystem::create_directory(dir + "/OUTSDIF.d");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    io::set_stop_handler(io::throwing_stop_handler);
    {
      testing::Capture capture(6);
      try {
        body();
      } catch (const io::StopRequest& stop) {
        status = stop.status;
      }
      out = capture.text();
    }
    io::set_stop_handler(nullptr);
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
  }
};

void start_toy() {
  prbcsa = {5, 4, 2, 2};
  init_csa_pd();
}

class ToyAdaptor : public ::testing::Test {
 protected:
  void SetUp() override {
    InDirectory run({{"OUTSDIF.d", testing::toy_problem().text()}}, start_toy);
    ASSERT_EQ(run.status, -1) << run.out;
  }
  std::vector<double> x = {2.1, 2.9, 1.3, 0.6, 1.2};
  CVec xv() const { return CVec(x.data(), 5); }
};

TEST_F(ToyAdaptor, ClassifiesConstraintsAndClampsBounds) {
  EXPECT_EQ(bdinfo.idineq(1), -1);
  EXPECT_EQ(bdinfo.idineq(2), -1);
  EXPECT_EQ(bdinfo.idineq(3), 1);  // only an upper bound
  EXPECT_EQ(bdinfo.idineq(4), 2);  // a range
  EXPECT_EQ(bdinfo.idineq(5), -1);
  EXPECT_EQ(bdinfo.idineq(1000), -1);
  // Bounds beyond 1e19 become +-10000 and count; exactly +-1e19 stays and
  // does not count.
  EXPECT_EQ(xbnd.xl(2), -10000.0);
  EXPECT_EQ(xbnd.xu(2), 10000.0);
  EXPECT_EQ(xbnd.xl(3), -1.0e19);
  EXPECT_EQ(xbnd.xu(3), 1.0e19);
  EXPECT_EQ(xbnd.xu(5), 1.0e19);
  const std::vector<int> idbd = {2, 2, 0, 2, 1, -1};
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(bdinfo.idbd(i), idbd[i - 1]) << i;
  EXPECT_EQ(bdinfo.idbd(1000), -1);
  EXPECT_EQ(cbnd.cl(3), -1.0e20);
  EXPECT_EQ(cbnd.cu(3), 10.0);
  EXPECT_EQ(cbnd.cl(4), -1.0);
  EXPECT_EQ(cbnd.cu(4), 4.0);
}

TEST_F(ToyAdaptor, EvaluatesObjectiveEqualitiesAndOneSidedInequalities) {
  const auto expected = testing::toy_values({x[0], x[1], x[2], x[3], x[4]});
  EXPECT_NEAR(obj(99, xv()), expected.objective, 1e-12 * std::fabs(expected.objective));
  EXPECT_NEAR(ceq(1, 99, xv()), expected.constraint[0], 1e-12);
  EXPECT_NEAR(ceq(2, 99, xv()), expected.constraint[1], 1e-12);
  // Constraint 3 (upper side only), then the range's lower and upper sides.
  const double c3 = ceq(3, 5, xv());
  const double c4 = ceq(4, 5, xv());
  EXPECT_EQ(cineq(1, 5, xv()), c3 - 10.0);
  EXPECT_EQ(cineq(2, 5, xv()), -1.0 - c4);
  EXPECT_EQ(cineq(3, 5, xv()), c4 - 4.0);
}

TEST_F(ToyAdaptor, GradientsFollowTheSides) {
  std::array<double, 5> g3{}, g4{}, gi{}, gobj{}, gfull{};
  dceq(3, 5, xv(), Vec(g3.data(), 5));
  dceq(4, 5, xv(), Vec(g4.data(), 5));
  dcineq(1, 5, xv(), Vec(gi.data(), 5));
  EXPECT_EQ(gi, g3);
  dcineq(2, 5, xv(), Vec(gi.data(), 5));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(gi[i], -g4[i]);
  dcineq(3, 5, xv(), Vec(gi.data(), 5));
  EXPECT_EQ(gi, g4);
  dobj(5, xv(), Vec(gobj.data(), 5));
  double f = 0.0;
  cofg(5, xv(), f, Vec(gfull.data(), 5), true);
  EXPECT_EQ(gobj, gfull);
}

TEST_F(ToyAdaptor, WalkingPastTheLastOneSidedInequalityStops) {
  InDirectory beyond({}, [&] { cineq(4, 5, xv()); });
  EXPECT_EQ(beyond.status, 1);
  EXPECT_EQ(beyond.out, " wrong m in cineq()\n");
  std::array<double, 5> g{};
  InDirectory dbeyond({}, [&] { dcineq(4, 5, xv(), Vec(g.data(), 5)); });
  EXPECT_EQ(dbeyond.status, 1);
  EXPECT_EQ(dbeyond.out, " wrong m in dcineq()\n");
  InDirectory zero({}, [&] { cineq(0, 5, xv()); });
  EXPECT_EQ(zero.out, " wrong idineq(k) in cineq()\n");
  InDirectory dzero({}, [&] { dcineq(0, 5, xv(), Vec(g.data(), 5)); });
  EXPECT_EQ(dzero.out, " wrong idineq(k) in cineq()\n");
}

const std::string kNameField = "OUTSDIF.d" + std::string(55, ' ');

TEST(AdaptorStartUp, MissingFileIsNamedInItsField) {
  InDirectory run({}, start_toy);
  EXPECT_EQ(run.status, 1);
  // The list-directed line is cut before the item that reaches 80 columns.
  EXPECT_EQ(run.out, " File " + kNameField + "\n  doesn't exist!\n");
}

TEST(AdaptorStartUp, FileThatCannotBeOpenedStopsAfterItsMessage) {
  InDirectory run({}, start_toy, true);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.rfind(" Open file " + kNameField + "\n  error ", 0), 0u) << run.out;
}

TEST(AdaptorStartUp, FileOfOtherSizesIsRefused) {
  InDirectory run({{"OUTSDIF.d", testing::toy_problem().text()}}, [] {
    prbcsa = {144, 160, 123, 37};
    init_csa_pd();
  });
  EXPECT_EQ(run.status, 2);
}

}  // namespace
}  // namespace morlan
