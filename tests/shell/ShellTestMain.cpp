// The shell tests need one QApplication for the whole run; the windows are
// drawn nowhere unless a platform is chosen from outside.
#include <QApplication>

#include <gtest/gtest.h>

// Qt is not built with ThreadSanitizer: the threads it starts for itself
// synchronise through means the sanitizer cannot see. Read by the
// sanitizer's runtime, and by nothing in other builds.
extern "C" const char* __tsan_default_suppressions()
{
    return "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n"
           "called_from_lib:libQt6Widgets.so.6\n";
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
