#pragma once
// Drawing tests read pixels back from a memory DC with a bitmap of known
// size, filled with a known colour.

#include <gtest/gtest.h>

#include "host/gdi.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace gdi_test {

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255))
        : dc_(CreateCompatibleDC(nullptr)), bitmap_(CreateCompatibleBitmap(dc_, width, height)),
          width_(width), height_(height) {
        previous_ = SelectObject(dc_, bitmap_);
        Fill(fill);
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void Fill(COLORREF color) {
        HBRUSH brush = CreateSolidBrush(color);
        const RECT all{0, 0, width_, height_};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

    // The pixels of colour `color`, as a picture: one string per row, '#'
    // for a pixel of that colour and '.' for any other.
    std::vector<std::string> Picture(COLORREF color) const {
        std::vector<std::string> rows;
        for (int y = 0; y < height_; ++y) {
            std::string row;
            for (int x = 0; x < width_; ++x) row.push_back(At(x, y) == color ? '#' : '.');
            rows.push_back(row);
        }
        return rows;
    }

    // The smallest rectangle holding every pixel that differs from `background`.
    RECT InkBounds(COLORREF background) const {
        RECT r{width_, height_, 0, 0};
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (At(x, y) == background) continue;
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x + 1);
                r.bottom = std::max<LONG>(r.bottom, y + 1);
            }
        }
        return r;
    }

    int Count(COLORREF color) const {
        int n = 0;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) n += At(x, y) == color ? 1 : 0;
        }
        return n;
    }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_ = nullptr;
    int width_;
    int height_;
};

// Selects an object for the life of the scope and deletes it afterwards.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), previous_(SelectObject(dc, object)) {}
    ~Selected() {
        SelectObject(dc_, previous_);
        DeleteObject(object_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ previous_;
};

// Fails the test when it leaves more (or fewer) live GDI objects than it found.
class NoLeaks : public ::testing::Test {
protected:
    void SetUp() override { before_ = host::gdi::LiveObjectCount(); }
    void TearDown() override { EXPECT_EQ(host::gdi::LiveObjectCount(), before_) << "GDI objects leaked"; }

private:
    std::size_t before_ = 0;
};

}  // namespace gdi_test
