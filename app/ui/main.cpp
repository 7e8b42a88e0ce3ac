// Program entry of the editor.
#include <cstdio>

int main() {
    std::puts("mindmap: the editor window comes with the next pieces of work; the document and its file format are built.");
    return 0;
}
