// Build-time generator of the macro files that ship beside the program. It reads a readable
// macro description (data/macros/*.txt) and writes it with the program's own list save, so the
// shipped files are exactly what the program writes and reads.
//
// Description format, one statement per line, '#' starts a comment line:
//   macro NAME            starts a macro (NAME without blanks, at most 9 characters)
//   mode N | repeat N | locked N
//   press KEY DELAY       KEY: left, right, middle, a letter A..Z, a digit 0..9,
//   release KEY DELAY          or a HID keyboard usage written 0xNN
//   move DIR X Y DELAY    DIR: X-Y-, X-Y+, X+Y-, X+Y+
//   wheel up|down N DELAY
//   delay MS              a delay step
//   end                   ends the macro
// Counters (steps, X/Y moves, wheel steps) follow from the steps.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

#include "common/key_codes.h"
#include "macro/macro_file_writer.h"
#include "macro/macro_record.h"

namespace {

bool Fail(const QString& file, int line, const QString& what) {
    std::fprintf(stderr, "%s:%d: %s\n", qPrintable(file), line, qPrintable(what));
    return false;
}

bool ParseKey(const QString& token, std::uint8_t* code) {
    if (token == u"left") {
        *code = StepCodeLeftButton;
    } else if (token == u"right") {
        *code = StepCodeRightButton;
    } else if (token == u"middle") {
        *code = StepCodeMiddleButton;
    } else if (token.size() == 1 &&
               (token[0].isDigit() || (token[0] >= u'A' && token[0] <= u'Z'))) {
        *code = VkToHidUsage(static_cast<std::uint8_t>(token[0].unicode()));
    } else if (token.startsWith(u"0x")) {
        bool ok = false;
        const uint usage = token.mid(2).toUInt(&ok, 16);
        if (!ok || usage > 0xFF) {
            return false;
        }
        *code = static_cast<std::uint8_t>(usage);
    } else {
        return false;
    }
    return true;
}

bool AddStep(MacroRecord& r, std::uint8_t code, std::uint8_t type, int x, int y, int delay) {
    if (r.stepCount >= MacroMaxSteps) {
        return false;
    }
    const int k = r.stepCount++;
    r.stepCode[k] = code;
    r.stepType[k] = type;
    r.stepParam[k] = {static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)};
    r.stepDelay[k] = static_cast<std::uint16_t>(delay);
    return true;
}

bool Parse(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return Fail(fileName, 0, QStringLiteral("cannot be read"));
    }
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    g_macroCount = 0;
    MacroRecord* r = nullptr;
    int lineNo = 0;
    while (!in.atEnd()) {
        ++lineNo;
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        const QStringList t = line.split(u' ', Qt::SkipEmptyParts);
        auto number = [&t](int i) { return i < t.size() ? t[i].toInt() : 0; };
        const QString& op = t[0];
        if (op == u"macro") {
            if (r || t.size() != 2 || g_macroCount >= MaxUserMacros) {
                return Fail(fileName, lineNo, QStringLiteral("misplaced macro or too many"));
            }
            r = &g_macros[g_macroCount];
            *r = MacroRecord{};
            g_macroSet[g_macroCount] = 0;
            if (SetMacroName(*r, t[1]) != t[1].size()) {
                return Fail(fileName, lineNo, QStringLiteral("name too long"));
            }
            continue;
        }
        if (!r) {
            return Fail(fileName, lineNo, QStringLiteral("statement outside a macro"));
        }
        bool ok = true;
        std::uint8_t code = 0;
        if (op == u"end") {
            ++g_macroCount;
            r = nullptr;
        } else if (op == u"mode") {
            r->mode = static_cast<std::uint8_t>(number(1));
        } else if (op == u"repeat") {
            r->repeatCount = static_cast<std::uint16_t>(number(1));
        } else if (op == u"locked") {
            g_macroSet[g_macroCount] = static_cast<std::uint32_t>(number(1));
        } else if ((op == u"press" || op == u"release") && t.size() == 3 && ParseKey(t[1], &code)) {
            ok = AddStep(*r, code, op == u"press" ? StepTypePress : StepTypeRelease, 0, 0,
                         number(2));
        } else if (op == u"move" && t.size() == 5) {
            static const QString dirs[] = {QStringLiteral("X-Y-"), QStringLiteral("X-Y+"),
                                           QStringLiteral("X+Y-"), QStringLiteral("X+Y+")};
            int type = -1;
            for (int d = 0; d < 4; ++d) {
                if (t[1] == dirs[d]) {
                    type = StepTypeXMinusYMinus + d;
                }
            }
            ok = type >= 0 && r->xyCount < MacroMaxXySteps &&
                 AddStep(*r, StepCodeXyMove, static_cast<std::uint8_t>(type), number(2), number(3),
                         number(4));
            r->xyCount += ok ? 1 : 0;
        } else if (op == u"wheel" && t.size() == 4 && (t[1] == u"up" || t[1] == u"down")) {
            ok = r->wheelCount < MacroMaxKindSteps &&
                 AddStep(*r, StepCodeWheel, t[1] == u"up" ? StepTypeWheelUp : StepTypeWheelDown,
                         number(2), 0, number(3));
            r->wheelCount += ok ? 1 : 0;
        } else if (op == u"delay" && t.size() == 2) {
            ok = AddStep(*r, StepCodeDelay, StepTypeDelay, 0, 0, number(1));
        } else {
            ok = false;
        }
        if (!ok) {
            return Fail(fileName, lineNo,
                        QStringLiteral("bad statement or limit reached: ") + line);
        }
    }
    if (r) {
        return Fail(fileName, lineNo, QStringLiteral("macro without end"));
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: make_macro_files DESCRIPTION.txt OUTPUT.dat\n");
        return 2;
    }
    if (!Parse(args[1])) {
        return 1;
    }
    const QString out = args[2];
    QDir().mkpath(QFileInfo(out).absolutePath());
    QFile::remove(out);  // the writers only add keys: start from an empty file
    OnWriteMacroList(out, 1);
    if (!QFileInfo::exists(out)) {
        std::fprintf(stderr, "%s was not written\n", qPrintable(out));
        return 1;
    }
    return 0;
}
