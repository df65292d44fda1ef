#include "platform/translation.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include <vector>

#ifndef QUILLON_TRANSLATIONS_DIR
#define QUILLON_TRANSLATIONS_DIR "/usr/local/share/quillon/translations"
#endif

namespace quillon {

QString QTr(const char *context, const char *text) { return QCoreApplication::translate(context, text); }

std::string Tr(const char *context, const char *text) { return QTr(context, text).toStdString(); }

std::string Arg(const std::string &pattern, std::initializer_list<std::string> values)
{
    const std::vector<std::string> v(values);
    std::string out;
    out.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (pattern[i] == '%' && next >= '1' && next <= '9' && static_cast<size_t>(next - '1') < v.size()) {
            out += v[static_cast<size_t>(next - '1')];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

void InstallTranslations(const std::string &programDir)
{
    // Kept for the program's life, as the application only points to it.
    static QTranslator translator;
    for (const QString &dir : {QString::fromStdString(programDir + "translations"), QString(QUILLON_TRANSLATIONS_DIR)})
        if (translator.load(QLocale(), "quillon", "_", dir)) {
            QCoreApplication::installTranslator(&translator);
            return;
        }
}

} // namespace quillon
