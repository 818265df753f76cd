// The entry point of programs built on the class library: the program
// supplies the application object, the library runs it.
#include <platform/afx.h>

int main() {
    return AfxWinMain();
}
