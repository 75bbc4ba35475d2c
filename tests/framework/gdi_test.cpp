#include <gtest/gtest.h>

#include "framework/framework.h"
#include "test_resources.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

TEST(GdiTest, KeyColourIsLeftOutOfTransparentCopies) {
  CClientDC screen(nullptr);
  CBitmap face;
  ASSERT_TRUE(face.LoadBitmap(IDB_KEYED));
  BITMAP header{};
  ASSERT_NE(0, face.GetBitmap(&header));
  ASSERT_EQ(3, header.bmWidth);
  ASSERT_EQ(2, header.bmHeight);

  CDC faceDC;
  ASSERT_TRUE(faceDC.CreateCompatibleDC(&screen));
  const ScopedSelection faceSelected(faceDC, face);
  CDC canvasDC;
  ASSERT_TRUE(canvasDC.CreateCompatibleDC(&screen));
  CBitmap canvas;
  ASSERT_TRUE(canvas.CreateCompatibleBitmap(&screen, 6, 4));
  const ScopedSelection canvasSelected(canvasDC, canvas);
  const CRect whole(0, 0, 6, 4);
  canvasDC.FillSolidRect(&whole, kBlue);

  // Stretched to twice the size: each source pixel covers two by two.
  ASSERT_TRUE(canvasDC.TransparentBlt(0, 0, 6, 4, &faceDC, 0, 0, 3, 2, kMagenta));
  EXPECT_EQ(kBlue, GetPixel(canvasDC.m_hDC, 0, 0));
  EXPECT_EQ(kBlue, GetPixel(canvasDC.m_hDC, 1, 1));
  EXPECT_EQ(kRed, GetPixel(canvasDC.m_hDC, 2, 0));
  EXPECT_EQ(kRed, GetPixel(canvasDC.m_hDC, 0, 2));
  EXPECT_EQ(kBlue, GetPixel(canvasDC.m_hDC, 5, 3));

  CDC copyDC;
  ASSERT_TRUE(copyDC.CreateCompatibleDC(&screen));
  CBitmap copy;
  ASSERT_TRUE(copy.CreateCompatibleBitmap(&screen, 2, 2));
  const ScopedSelection copySelected(copyDC, copy);
  ASSERT_TRUE(copyDC.BitBlt(0, 0, 2, 2, &canvasDC, 2, 0, SRCCOPY));
  EXPECT_EQ(kRed, GetPixel(copyDC.m_hDC, 0, 0));
}

TEST(GdiTest, SelectionsAreUndoneSoObjectsCanBeDeleted) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  const HGDIOBJ initial = GetCurrentObject(dc.m_hDC, OBJ_BITMAP);
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.LoadBitmap(IDB_KEYED));
  {
    const ScopedSelection selected(dc, bitmap);
    EXPECT_EQ(bitmap.GetSafeHandle(), GetCurrentObject(dc.m_hDC, OBJ_BITMAP));
  }
  EXPECT_EQ(initial, GetCurrentObject(dc.m_hDC, OBJ_BITMAP));
  EXPECT_TRUE(bitmap.DeleteObject());
}

TEST(GdiTest, ReplacingAnObjectDeletesTheOldOne) {
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.LoadBitmap(IDB_KEYED));
  const HBITMAP first = bitmap;
  ASSERT_TRUE(bitmap.LoadBitmap(IDB_KEYED));
  EXPECT_NE(first, bitmap.GetSafeHandle());
  EXPECT_EQ(0u, GetObjectType(first));

  EXPECT_FALSE(bitmap.LoadBitmap(999));
  EXPECT_EQ(nullptr, bitmap.GetSafeHandle());
}

}  // namespace
