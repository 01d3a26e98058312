#pragma once

#include <QApplication>
#include <QImage>
#include <QString>
#include <QtTest>
#include <string>

#include "store/image_io.h"
#include "store/project.h"

// Every editor test program initialises the image library before Qt.
#define PELMORA_UI_TEST_MAIN(TestClass)         \
    int main(int argc, char** argv) {           \
        pelmora::InitImageLibrary(argv[0]);     \
        pelmora::SetImageLibraryThreads(1);     \
        QApplication app(argc, argv);           \
        TestClass test;                         \
        return QTest::qExec(&test, argc, argv); \
    }

namespace pelmora::test {

// A WAD file with the given records and pages of PatternPage(seed = page number).
std::string WriteWad(const std::string& path, const std::vector<TextureRecord>& records, int pages,
                     uint32_t version = 129, const std::string& rest = {});

// Writes width x height PNG files of a flat colour.
void WritePng(const std::string& path, int width, int height, Colour colour);

inline QRgb Rgb(Colour c) {
    return qRgb(RedOf(c), GreenOf(c), BlueOf(c));
}

}  // namespace pelmora::test
