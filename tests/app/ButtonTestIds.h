#pragma once

#define IDD_BUTTON_TEST 200
#define IDC_FACE 201
#define IDC_OTHER 202
