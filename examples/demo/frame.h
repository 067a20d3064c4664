// What both demos draw and check: a 128 by 128 frame, a triangle over a blue background, read
// back, checked pixel by pixel and written as a PPM image beside the program.
#pragma once

#include <GL/gl.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

constexpr int kSize = 128;  // the frame is kSize by kSize pixels

// What the frame is made of, as 0..255 colour values.
struct Rgb {
    int r, g, b;
};
constexpr Rgb kBackground = {0, 0, 255};
constexpr Rgb kTriangle = {255, 255, 0};

// The triangle's corners, in normalised device coordinates.
const GLfloat kCorners[] = {-0.8f, -0.8f, 0.8f, -0.8f, 0.0f, 0.8f};

// The frame, bottom row first, three bytes a pixel.
inline std::vector<unsigned char> readFrame() {
    std::vector<unsigned char> pixels(kSize * kSize * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kSize, kSize, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Checks one pixel against the colour expected there, allowing for rounding.
inline bool checkPixel(const std::vector<unsigned char>& pixels, int x, int y, Rgb expected) {
    const unsigned char* p = &pixels[(y * kSize + x) * 3];
    const bool ok = std::abs(p[0] - expected.r) <= 2 && std::abs(p[1] - expected.g) <= 2 &&
                    std::abs(p[2] - expected.b) <= 2;
    std::printf("pixel (%3d,%3d): %3d %3d %3d, expected %3d %3d %3d: %s\n", x, y, p[0], p[1], p[2],
                expected.r, expected.g, expected.b, ok ? "ok" : "WRONG");
    return ok;
}

// Checks two pixels inside the triangle and three outside it.
inline bool checkFrame(const std::vector<unsigned char>& pixels, Rgb inside) {
    bool ok = true;
    ok &= checkPixel(pixels, kSize / 2, kSize / 2, inside);
    ok &= checkPixel(pixels, kSize / 2, kSize / 4, inside);
    ok &= checkPixel(pixels, 4, 4, kBackground);
    ok &= checkPixel(pixels, kSize - 5, kSize - 5, kBackground);
    ok &= checkPixel(pixels, 4, kSize - 5, kBackground);
    return ok;
}

// Writes the frame as a binary PPM image named `name`, top row first, beside the program;
// returns its path, or "" when it could not be written.
inline std::string writeImage(const std::vector<unsigned char>& pixels, const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string image = path;
    image = image.substr(0, image.find_last_of("\\/") + 1) + name;
    std::FILE* file = std::fopen(image.c_str(), "wb");
    if (!file) {
        return "";
    }
    std::fprintf(file, "P6\n%d %d\n255\n", kSize, kSize);
    for (int y = kSize - 1; y >= 0; --y) {
        std::fwrite(&pixels[y * kSize * 3], 1, kSize * 3, file);
    }
    return std::fclose(file) == 0 ? image : "";
}
