// Shows its argument in the application message box and exits with the id
// of the button that closed it.
#include <platform/afx.h>

int main(int argc, char** argv) {
    return AfxMessageBox(argc > 1 ? argv[1] : "");
}
