// Program entry: hands the arguments to WinMain as one command-line text, the way Windows passes it
// (without the program name, arguments separated by single blanks).
#include <string>

#include "platform/win32.h"

int WinMain(HINSTANCE instance, HINSTANCE previous, char* commandLine, int showCommand);

int main(int argc, char** argv)
{
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            commandLine.push_back(' ');
        }
        commandLine += argv[i];
    }
    static int programInstance;
    return WinMain(&programInstance, nullptr, commandLine.data(), SW_SHOW);
}
