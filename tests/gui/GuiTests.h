#pragma once
// The window's Qt Test classes share one program, so Qt's headers and the window's library are
// compiled and linked once. Each file registers its class with VORTEL_GUI_TEST; the program runs
// the class named by its first argument (ctest runs each class as a test of its own), or all.

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vortel::gui::test {

struct RegisteredTest {
    std::string name;
    std::function<std::unique_ptr<QObject>()> make;
};

std::vector<RegisteredTest>& RegisteredTests();

struct TestRegistration {
    // Known by the class name without its namespaces, as ctest names the test.
    TestRegistration(std::string_view name, std::function<std::unique_ptr<QObject>()> make) {
        const auto last = name.rfind("::");
        if (last != std::string_view::npos) name.remove_prefix(last + 2);
        RegisteredTests().push_back({std::string(name), std::move(make)});
    }
};

}  // namespace vortel::gui::test

#define VORTEL_GUI_TEST_JOIN2(a, b) a##b
#define VORTEL_GUI_TEST_JOIN(a, b) VORTEL_GUI_TEST_JOIN2(a, b)
#define VORTEL_GUI_TEST(Class)                                               \
    static const ::vortel::gui::test::TestRegistration VORTEL_GUI_TEST_JOIN( \
        registered_, __LINE__)(#Class, [] { return std::unique_ptr<QObject>(new Class); });
