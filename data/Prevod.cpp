#include "Prevod.h"

namespace {

int HodnotaCislice(QChar znak, int zaklad) {
    const char16_t c = znak.unicode();
    int hodnota = -1;
    if (c >= u'0' && c <= u'9')
        hodnota = c - u'0';
    else if (c >= u'a' && c <= u'f')
        hodnota = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        hodnota = c - u'A' + 10;
    return hodnota < zaklad ? hodnota : -1;
}

// Reads digits from position i to the end; empty or too large is no number.
std::optional<std::uint64_t> CtiCislice(const QString& text, qsizetype i, int zaklad,
                                        std::uint64_t mez) {
    if (i >= text.size()) return std::nullopt;
    std::uint64_t hodnota = 0;
    for (; i < text.size(); ++i) {
        const int cislice = HodnotaCislice(text[i], zaklad);
        if (cislice < 0) return std::nullopt;
        hodnota =
            hodnota * static_cast<std::uint64_t>(zaklad) + static_cast<std::uint64_t>(cislice);
        if (hodnota > mez) return std::nullopt;
    }
    return hodnota;
}

} // namespace

std::optional<std::int32_t> TextNaCislo(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool zaporne = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) zaporne = text[i++] == u'-';
    int zaklad = 10;
    if (i < text.size() && text[i] == u'$') {
        zaklad = 16;
        i += 1;
    } else if (text.mid(i, 2).compare(u"0x", Qt::CaseInsensitive) == 0) {
        zaklad = 16;
        i += 2;
    }
    // Hexadecimal digits are a 32-bit pattern; decimal must fit the signed range.
    const std::uint64_t mez =
        zaklad == 16 ? 0xFFFFFFFFull : (zaporne ? 0x80000000ull : 0x7FFFFFFFull);
    const auto hodnota = CtiCislice(text, i, zaklad, mez);
    if (!hodnota) return std::nullopt;
    const auto bity = static_cast<std::uint32_t>(*hodnota);
    return static_cast<std::int32_t>(zaporne ? 0u - bity : bity);
}

std::int32_t StrToIntDef(const QString& text, std::int32_t vychozi) {
    return TextNaCislo(text).value_or(vychozi);
}

namespace {

QString Hex(char16_t kod, int cislic) {
    return QString::number(kod, 16).toUpper().rightJustified(cislic, u'0');
}

bool Zobrazitelny(QChar c) {
    const QChar::Category druh = c.category();
    return druh != QChar::Other_Control && druh != QChar::Other_Format &&
           druh != QChar::Other_Surrogate && druh != QChar::Other_NotAssigned &&
           druh != QChar::Other_PrivateUse && druh != QChar::Separator_Line &&
           druh != QChar::Separator_Paragraph && c != QChar::ReplacementCharacter;
}

} // namespace

QString ZobrazitelnyText(const QString& text) {
    QString vysledek;
    vysledek.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\')
            vysledek += QStringLiteral("\\\\");
        else if (Zobrazitelny(c))
            vysledek += c;
        else if (c.unicode() <= 0xFF)
            vysledek += QStringLiteral("\\x") + Hex(c.unicode(), 2);
        else
            vysledek += QStringLiteral("\\u{") + Hex(c.unicode(), 4) + u'}';
    }
    return vysledek;
}
