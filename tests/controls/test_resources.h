#pragma once

// Ids of the suite's bitmaps (controls_tests.rc), made by make_test_bitmaps.py.
#define IDB_FACE_NORMAL 201
#define IDB_FACE_HOVER 202
#define IDB_FACE_PRESSED 203
#define IDB_FACE_WIDE 204
