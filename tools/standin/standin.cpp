// Stands in for the Vemox emulator when trying out the launcher: shows the arguments and the
// working directory it was started with. With VEMOX_STANDIN_LOG naming a file it first appends
// them there ("cwd=", one "arg=" per argument, "end", each on its own line, bytes as received);
// with VEMOX_STANDIN_EXIT=1 as well it ends right after, without a window.

#include <QApplication>
#include <QByteArray>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QString>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

struct Decoded {
    qsizetype length = 0; // 0: the bytes there are not well-formed UTF-8
    char32_t code = 0;
};

// The character whose UTF-8 form starts at `at`. A stray continuation byte, a cut sequence, an
// overlong form, a surrogate or a value beyond U+10FFFF is no character.
Decoded decodeUtf8(const QByteArray& bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        return {1, lead};
    }
    const qsizetype length = lead >= 0xF8   ? 0
                             : lead >= 0xF0 ? 4
                             : lead >= 0xE0 ? 3
                             : lead >= 0xC0 ? 2
                                            : 0;
    if (length == 0 || at + length > bytes.size()) {
        return {};
    }
    char32_t code = lead & (0x7F >> length);
    for (qsizetype i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return {};
        }
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return {};
    }
    return {length, code};
}

// Text as shown in the window: well-formed UTF-8 as itself; control characters and every byte
// that is not UTF-8 as \xNN, the backslash as \\, so that each argument stays on one line and
// reads back to its exact bytes.
QString shown(const QByteArray& bytes) {
    QString text;
    for (qsizetype at = 0; at < bytes.size();) {
        const Decoded decoded = decodeUtf8(bytes, at);
        const qsizetype length = std::max<qsizetype>(decoded.length, 1);
        const char32_t code = decoded.code;
        const bool control = code < 0x20 || (code >= 0x7F && code < 0xA0);
        if (decoded.length == 0 || control) {
            for (qsizetype i = at; i < at + length; ++i) {
                text += QStringLiteral("\\x%1").arg(static_cast<unsigned char>(bytes[i]), 2, 16,
                                                    QLatin1Char('0'));
            }
        } else if (code == U'\\') {
            text += QStringLiteral("\\\\");
        } else {
            text += QString::fromUcs4(&code, 1);
        }
        at += length;
    }
    return text;
}

QByteArray logRecord(const QByteArray& directory, const std::vector<QByteArray>& arguments) {
    QByteArray record = "cwd=" + directory + '\n';
    for (const QByteArray& argument : arguments) {
        record += "arg=" + argument + '\n';
    }
    record += "end\n";
    return record;
}

// One write to a file opened for appending, so that records of stand-ins started close
// together never interleave.
bool appendToLog(const QByteArray& fileName, const QByteArray& record) {
    QFile log(QFile::decodeName(fileName));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered) ||
        log.write(record) != record.size()) {
        std::fprintf(stderr, "vemox-standin: cannot write the log %s: %s\n", fileName.constData(),
                     log.errorString().toLocal8Bit().constData());
        return false;
    }
    return true;
}

int showWindow(const QByteArray& directory, const std::vector<QByteArray>& arguments,
               char* program) {
    // Qt gets no arguments of ours: it would take some (-style, -display, ...) for itself.
    int qtArgc = 1;
    char* qtArgv[] = {program, nullptr};
    QApplication application(qtArgc, qtArgv);

    QDialog window;
    window.setWindowTitle(QStringLiteral("Vemox stand-in"));
    auto* layout = new QVBoxLayout(&window);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    layout->addWidget(new QLabel(QStringLiteral("Working directory:"), &window));
    auto* place = new QLabel(shown(directory), &window);
    place->setFont(fixed);
    place->setTextFormat(Qt::PlainText);
    place->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(place);

    layout->addWidget(new QLabel(QStringLiteral("Arguments: %1").arg(arguments.size()), &window));
    auto* list = new QPlainTextEdit(&window);
    list->setReadOnly(true);
    list->setTabChangesFocus(true);
    list->setFont(fixed);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    QStringList lines;
    for (const QByteArray& argument : arguments) {
        lines.append(shown(argument));
    }
    list->setPlainText(lines.join(QLatin1Char('\n')));
    layout->addWidget(list);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &window);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    layout->addWidget(buttons);

    window.resize(560, 360);
    window.exec();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<QByteArray> arguments(argv + 1, argv + argc);
    std::error_code error;
    const QByteArray directory =
        QByteArray::fromStdString(std::filesystem::current_path(error).string());

    if (const char* logName = std::getenv("VEMOX_STANDIN_LOG"); logName && *logName) {
        if (!appendToLog(logName, logRecord(directory, arguments))) {
            return 1;
        }
    }
    if (const char* exitAtOnce = std::getenv("VEMOX_STANDIN_EXIT");
        exitAtOnce && QByteArray(exitAtOnce) == "1") {
        return 0;
    }
    return showWindow(directory, arguments, argv[0]);
}
