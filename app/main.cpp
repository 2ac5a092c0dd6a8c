#include "EditorApp.h"

#include <QApplication>
#include <QIcon>

#include <cstdlib>
#include <cstring>

namespace {

// --help and --version only print: they must work in a terminal without a display, where Qt
// would otherwise stop before the arguments are read.
void AllowPrintOnlyRunsWithoutDisplay(int argc, char* argv[]) {
    if (std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM"))
        return;
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0) {
                setenv("QT_QPA_PLATFORM", "offscreen", 1);
                return;
            }
}

} // namespace

int main(int argc, char* argv[]) {
    AllowPrintOnlyRunsWithoutDisplay(argc, argv);
    QApplication application(argc, argv);
    // The resources live in a static library: register them before use.
    Q_INIT_RESOURCE(resources);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/terrain-editor.png")));
    CEditorApp app;
    return app.Run(QApplication::arguments());
}
