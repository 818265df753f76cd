// Writes the program's picture: make_can_bitmap <Can1.bmp> [<true-colour copy.bmp>]
#include <cstdio>

#include "can_picture.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s <Can1.bmp> [<24-bit copy.bmp>]\n", argv[0]);
        return 2;
    }
    if (!zv::bmp::WriteBinaryFile(argv[1], zv::canpic::CanBitmapFile())) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    if (argc == 3 &&
        !zv::bmp::WriteBinaryFile(
            argv[2], zv::bmp::EncodeBmp(zv::canpic::DrawCanPicture(), {.bitsPerPixel = 24}))) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
