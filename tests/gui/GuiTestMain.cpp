#include <QApplication>
#include <QtTest>
#include <cstdio>
#include <vector>

#include "GuiTests.h"

namespace vortel::gui::test {

std::vector<RegisteredTest>& RegisteredTests() {
    static std::vector<RegisteredTest> tests;
    return tests;
}

}  // namespace vortel::gui::test

// vortel_gui_tests [CLASS [Qt Test options]]: the class alone, or every class in turn.
int main(int argc, char** argv) {
    using vortel::gui::test::RegisteredTests;
    // As QTEST_MAIN sets up the application for a widgets test.
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    QTEST_SET_MAIN_SOURCE_PATH
    const char* chosen = argc > 1 && argv[1][0] != '-' ? argv[1] : nullptr;
    std::vector<char*> rest{argv[0]};
    for (int k = chosen != nullptr ? 2 : 1; k < argc; ++k) rest.push_back(argv[k]);
    int failed = 0;
    bool found = false;
    for (const auto& test : RegisteredTests()) {
        if (chosen != nullptr && test.name != chosen) continue;
        found = true;
        const auto object = test.make();
        failed += QTest::qExec(object.get(), static_cast<int>(rest.size()), rest.data());
    }
    if (!found) {
        std::fprintf(stderr, "vortel_gui_tests: no test class named %s\n", chosen);
        return 2;
    }
    return failed == 0 ? 0 : 1;
}
