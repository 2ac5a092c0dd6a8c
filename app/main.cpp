#include "EditorApp.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // The resources live in a static library: register them before use.
    Q_INIT_RESOURCE(resources);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/terrain-editor.png")));
    CEditorApp app;
    return app.Run(QApplication::arguments());
}
