// Writes the tool's icon as PNG files for the desktop's icon theme and as one
// .ico file for the Windows program's resources:
//   harvelin-icon-files DIR SIZE...   gives DIR/SIZE.png for each size and
//                                     DIR/harvelin.ico holding all of them
//   harvelin-icon-files --check DIR SIZE...
//                                     checks the files kept in DIR against
//                                     the drawing
// Run at build time; needs no window system.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include "gui/app_icon.h"

namespace {

struct IconImage {
    int size;
    QByteArray png;
};

void putU16(std::string& out, std::uint16_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void putU32(std::string& out, std::uint32_t value)
{
    putU16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    putU16(out, static_cast<std::uint16_t>(value >> 16));
}

// An .ico file: a 6-byte directory header, one 16-byte entry per image, then
// the images. Windows Vista and later take PNG data in place of a bitmap; the
// entry still gives the size, where 0 stands for 256 since the fields are
// single bytes. All numbers are little-endian.
std::string icoFile(const std::vector<IconImage>& images)
{
    constexpr std::uint32_t headerSize = 6;
    constexpr std::uint32_t entrySize = 16;
    std::string out;
    putU16(out, 0);  // reserved
    putU16(out, 1);  // type: icon (2 would be a cursor)
    putU16(out, static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = headerSize + entrySize * static_cast<std::uint32_t>(images.size());
    for (const IconImage& image : images) {
        const auto side = static_cast<char>(image.size >= 256 ? 0 : image.size);
        out += side;     // width
        out += side;     // height
        out += '\0';     // palette colours: none
        out += '\0';     // reserved
        putU16(out, 1);  // colour planes
        putU16(out, 32); // bits per pixel
        putU32(out, static_cast<std::uint32_t>(image.png.size()));
        putU32(out, offset);
        offset += static_cast<std::uint32_t>(image.png.size());
    }
    for (const IconImage& image : images)
        out.append(image.png.constData(), static_cast<std::size_t>(image.png.size()));
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The kept PNG files show the drawing, and the kept .ico holds exactly them.
// Antialiased edges are painted by code that differs between processors, so
// a few edge pixels may differ; the shapes and colours may not.
int checkKept(const QDir& dir, char** sizes, int count)
{
    std::vector<IconImage> images;
    int failed = 0;
    for (int i = 0; i < count; ++i) {
        const int size = std::atoi(sizes[i]);
        const QString file = dir.filePath(QString::number(size) + QStringLiteral(".png"));
        const QByteArray png = readFile(file);
        const QImage kept = QImage::fromData(png).convertToFormat(QImage::Format_ARGB32);
        const QImage drawn = harvelin::gui::pagerImage(size).convertToFormat(QImage::Format_ARGB32);
        int differing = 0;
        if (kept.size() != drawn.size()) {
            differing = size * size;
        } else {
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    differing += kept.pixel(x, y) != drawn.pixel(x, y) ? 1 : 0;
        }
        const int allowed = 2 + size * size / 256;
        if (differing > allowed) {
            std::fprintf(stderr, "harvelin-icon-files: %s differs from the drawing in %d pixels\n",
                         file.toLocal8Bit().constData(), differing);
            ++failed;
        }
        images.push_back({size, png});
    }
    const std::string ico = icoFile(images);
    if (readFile(dir.filePath(QStringLiteral("harvelin.ico"))) != QByteArray(ico.data(), static_cast<qsizetype>(ico.size()))) {
        std::fprintf(stderr, "harvelin-icon-files: harvelin.ico does not hold the kept PNG files\n");
        ++failed;
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool check = argc > 1 && std::string(argv[1]) == "--check";
    if (argc < (check ? 4 : 3)) {
        std::fprintf(stderr, "usage: harvelin-icon-files [--check] DIR SIZE...\n");
        return 2;
    }
    // Antialiased painting is all it takes; the offscreen platform keeps the
    // build independent of a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (check)
        return checkKept(QDir(QString::fromLocal8Bit(argv[2])), argv + 3, argc - 3);
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    std::vector<IconImage> images;
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString file = dir.filePath(QString::number(size) + QStringLiteral(".png"));
        QByteArray png;
        QBuffer buffer(&png);
        // The .ico entry's size fields end at 256.
        if (size <= 0 || size > 256 || !buffer.open(QIODevice::WriteOnly)
            || !harvelin::gui::pagerImage(size).save(&buffer, "PNG") || !writeFile(file, png)) {
            std::fprintf(stderr, "harvelin-icon-files: cannot write %s\n", file.toLocal8Bit().constData());
            return 1;
        }
        images.push_back({size, png});
    }
    const QString ico = dir.filePath(QStringLiteral("harvelin.ico"));
    const std::string bytes = icoFile(images);
    if (!writeFile(ico, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())))) {
        std::fprintf(stderr, "harvelin-icon-files: cannot write %s\n", ico.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
