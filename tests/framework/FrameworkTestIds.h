#define IDD_TEST 100
#define IDC_CHECK 1001
#define IDC_LIST 1002
#define IDC_LABEL 1003
#define IDC_GO 1004
