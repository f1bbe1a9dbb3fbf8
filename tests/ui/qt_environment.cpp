// Every test of this program runs with one QApplication (offscreen), made before the first test and destroyed
// before main returns: left to the exit handlers, it would go after parts of Qt it still needs.

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class QtEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[9] = "ui_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] const auto* const registered = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
