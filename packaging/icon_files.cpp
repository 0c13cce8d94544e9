// Writes the tool's icon as PNG files for the desktop's icon theme:
//   harvelin-icon-files DIR SIZE...   gives DIR/SIZE.png for each size
// Run at build time; needs no window system.

#include <cstdio>
#include <cstdlib>

#include <QDir>
#include <QGuiApplication>
#include <QString>

#include "gui/app_icon.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: harvelin-icon-files DIR SIZE...\n");
        return 2;
    }
    // Antialiased painting is all it takes; the offscreen platform keeps the
    // build independent of a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString file = dir.filePath(QString::number(size) + QStringLiteral(".png"));
        if (size <= 0 || !harvelin::gui::pagerImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "harvelin-icon-files: cannot write %s\n", file.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
