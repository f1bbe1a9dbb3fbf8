#pragma once

// Every test of a program that needs Qt's event loop runs with one application object, made before the first test
// and destroyed before main returns: left to the exit handlers, it would go after parts of Qt it still needs. A
// test program registers it once, as ZAVOK_TEST_APPLICATION(QApplication) or with QCoreApplication.

#include <gtest/gtest.h>

#include <memory>

namespace zavok::test {

template <class Application> class QtEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<Application>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[6] = "tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<Application> app_;
};

} // namespace zavok::test

#define ZAVOK_TEST_APPLICATION(Application)                                                                            \
    namespace {                                                                                                        \
    [[maybe_unused]] const auto* const registered =                                                                    \
        ::testing::AddGlobalTestEnvironment(new ::zavok::test::QtEnvironment<Application>);                            \
    }
