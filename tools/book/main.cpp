// tavelio-book: one command for people who keep, inspect and make books.
#include "base/errors.h"
#include "book/align_command.h"
#include "book/check_command.h"
#include "book/dump_command.h"
#include "book/epub_command.h"
#include "book/make_command.h"
#include "book/pack_command.h"
#include "book/tool_error.h"
#include "book/unpack_command.h"
#include "version/version.h"

#include <QGuiApplication>
#include <QString>
#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: tavelio-book align RECORDING TEXT [--language CODE]\n"
    "       tavelio-book dump [DIR] [--font-out FILE]\n"
    "       tavelio-book make BOOK_JSON OUTDIR\n"
    "       tavelio-book pack MANIFEST OUTDIR\n"
    "       tavelio-book unpack DIR OUTDIR\n"
    "       tavelio-book check [DIR]\n"
    "       tavelio-book epub DIR OUT.epub\n"
    "       tavelio-book epub --html DIR OUTDIR\n"
    "       tavelio-book --help | --version\n"
    "\n"
    "  align   print as JSON where RECORDING (any audio file) says each line and word of TEXT\n"
    "          (UTF-8, a phrase a line, an empty line before each new page); --language names\n"
    "          the reference voice's language (default en-us)\n"
    "  dump    print the page table of DIR/QVDB.dat (default: the working directory) as JSON,\n"
    "          loaded exactly as the reader loads it; --font-out keeps the decoded font\n"
    "  make    make the book of BOOK_JSON (its pages, pictures and one recording of it read\n"
    "          aloud) into the data folder OUTDIR, timing every page and arrow by the recording\n"
    "  pack    write QVDB.dat and Graphics.dat into OUTDIR from a book manifest\n"
    "  unpack  write a manifest, the font and the pictures of DIR's data files into OUTDIR\n"
    "  check   report every problem that keeps DIR's book from showing as it is meant\n"
    "  epub    write DIR's book as an EPUB 3 book that reads itself aloud, highlighting each\n"
    "          word; --html writes it as a web read-along into OUTDIR instead\n";

// A command line that asks for nothing the tool does: what was wrong comes first, then the usage.
int Mistake(const std::string& what) {
    std::cerr << "tavelio-book: " << what << "\n\n" << kUsage;
    return 2;
}

bool IsOption(const std::string& argument) {
    return argument.size() > 1 && argument.starts_with("-");
}

// The first argument after the command that is written as an option.
std::optional<std::string> FirstOption(const std::vector<std::string>& args) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (IsOption(args[i])) {
            return args[i];
        }
    }
    return std::nullopt;
}

int Dump(const std::vector<std::string>& args) {
    std::string folder = ".";
    std::string fontOut;
    bool folderGiven = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--font-out") {
            if (i + 1 == args.size()) {
                return Mistake("dump: --font-out needs the file to write the font to");
            }
            fontOut = args[++i];
        } else if (IsOption(args[i])) {
            return Mistake("dump: unknown option '" + args[i] + "'");
        } else if (folderGiven) {
            return Mistake("dump: one folder at most, not also '" + args[i] + "'");
        } else {
            folder = args[i];
            folderGiven = true;
        }
    }
    return tavelio::book::RunDump(folder, fontOut, std::cout, std::cerr);
}

int Align(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    std::string language = "en-us";
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (args[i] == "--language") {
            if (i + 1 == args.size()) {
                return Mistake("align: --language needs a language code, such as en-us");
            }
            language = args[++i];
        } else if (IsOption(args[i])) {
            return Mistake("align: unknown option '" + args[i] + "'");
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) {
        return Mistake("align: wants a RECORDING and a TEXT, given " +
                       std::to_string(files.size()));
    }
    tavelio::book::RunAlign(files[0], files[1], language, std::cout);
    return 0;
}

int Epub(const std::vector<std::string>& args) {
    const bool html = args.size() > 1 && args[1] == "--html";
    const std::vector<std::string> operands(args.begin() + (html ? 2 : 1), args.end());
    for (const std::string& operand : operands) {
        if (IsOption(operand)) {
            return Mistake("epub: unknown option '" + operand + "'");
        }
    }
    if (operands.size() != 2) {
        return Mistake(std::string("epub: wants a DIR and ") +
                       (html ? "an OUTDIR" : "an OUT.epub") + ", given " +
                       std::to_string(operands.size()));
    }
    if (html) {
        tavelio::book::RunWebReadAlong(operands[0], operands[1]);
    } else {
        tavelio::book::RunEpub(operands[0], operands[1]);
    }
    return 0;
}

int Run(const std::vector<std::string>& args) {
    if (args.empty()) {
        return Mistake("no command given");
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "--version") {
        std::cout << "tavelio-book " << tavelio::kVersion << '\n';
        return 0;
    }
    if (command == "dump") {
        return Dump(args);
    }
    if (command == "align") {
        return Align(args);
    }
    if (command == "epub") {
        return Epub(args);
    }
    if (command != "check" && command != "make" && command != "pack" && command != "unpack") {
        return Mistake((IsOption(command) ? "unknown option '" : "unknown command '") + command +
                       "'");
    }
    if (const auto option = FirstOption(args)) {
        return Mistake(command + ": unknown option '" + *option + "'");
    }
    if (command == "check") {
        if (args.size() > 2) {
            return Mistake("check: one folder at most, not also '" + args[2] + "'");
        }
        return tavelio::book::RunCheck(args.size() == 2 ? args[1] : ".", std::cout, std::cerr);
    }
    if (args.size() != 3) {
        return Mistake(command +
                       (command == "pack"   ? ": wants a MANIFEST and an OUTDIR"
                        : command == "make" ? ": wants a BOOK_JSON and an OUTDIR"
                                            : ": wants a DIR and an OUTDIR") +
                       ", given " + std::to_string(args.size() - 1));
    }
    if (command == "make") {
        tavelio::book::RunMake(args[1], args[2], std::cout,
                               isatty(STDERR_FILENO) ? &std::cerr : nullptr);
    } else if (command == "pack") {
        tavelio::book::RunPack(args[1], args[2]);
    } else {
        tavelio::book::RunUnpack(args[1], args[2], std::cout);
    }
    return 0;
}

QtMessageHandler qtDefaultHandler = nullptr;

// The offscreen platform remarks on a missing runtime folder, which this tool never uses; the
// remark would only stand between the author and the tool's own messages.
void QuietHeadlessRemarks(QtMsgType type, const QMessageLogContext& context,
                          const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) {
        return;
    }
    qtDefaultHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv) {
    // Checking a book draws its pictures as the reader does, and metafiles may hold text, whose
    // fonts only a GUI application can find. No window is shown: the offscreen platform serves,
    // and the command's own arguments are not Qt's.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qtDefaultHandler = qInstallMessageHandler(QuietHeadlessRemarks);
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
