// tavelio-book: one command for people who keep, inspect and make books.
#include "base/errors.h"
#include "book/check_command.h"
#include "book/dump_command.h"
#include "book/pack_command.h"
#include "book/tool_error.h"
#include "book/unpack_command.h"

#include <QGuiApplication>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: tavelio-book dump [DIR] [--font-out FILE]\n"
    "       tavelio-book pack MANIFEST OUTDIR\n"
    "       tavelio-book unpack DIR OUTDIR\n"
    "       tavelio-book check [DIR]\n"
    "\n"
    "  dump    print the page table of DIR/QVDB.dat (default: the working directory) as JSON,\n"
    "          loaded exactly as the reader loads it; --font-out keeps the decoded font\n"
    "  pack    write QVDB.dat and Graphics.dat into OUTDIR from a book manifest\n"
    "  unpack  write a manifest, the font and the pictures of DIR's data files into OUTDIR\n"
    "  check   report every problem that keeps DIR's book from showing as it is meant\n";

int Usage() {
    std::cerr << kUsage;
    return 2;
}

int Run(const std::vector<std::string>& args) {
    if (args.empty()) {
        return Usage();
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "dump") {
        std::string folder = ".";
        std::string fontOut;
        bool folderGiven = false;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--font-out" && i + 1 < args.size()) {
                fontOut = args[++i];
            } else if (args[i].starts_with("-") || folderGiven) {
                return Usage();
            } else {
                folder = args[i];
                folderGiven = true;
            }
        }
        return tavelio::book::RunDump(folder, fontOut, std::cout);
    }
    if (command == "check" && args.size() <= 2) {
        return tavelio::book::RunCheck(args.size() == 2 ? args[1] : ".", std::cout);
    }
    if (command == "pack" && args.size() == 3) {
        tavelio::book::RunPack(args[1], args[2]);
        return 0;
    }
    if (command == "unpack" && args.size() == 3) {
        tavelio::book::RunUnpack(args[1], args[2], std::cout);
        return 0;
    }
    return Usage();
}

} // namespace

int main(int argc, char** argv) {
    // Checking a book draws its pictures as the reader does, and metafiles may hold text, whose
    // fonts only a GUI application can find. No window is shown: the offscreen platform serves,
    // and the command's own arguments are not Qt's.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication application(qtArgc, argv);
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const tavelio::book::ToolError& error) {
        std::cerr << "tavelio-book: " << error.what() << '\n';
    } catch (const tavelio::Error& error) {
        std::cerr << "tavelio-book: " << tavelio::ErrorBoxText(error.what()) << '\n';
    } catch (const std::exception& error) {
        std::cerr << "tavelio-book: " << error.what() << '\n';
    }
    return 1;
}
