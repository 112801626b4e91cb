#include "TextyZalohy.h"

#include "Prevod.h"
#include "Texty.h"
#include "Xxxx683.h"

#include <QStringList>

namespace {

const QString CteniKonfigurace = QStringLiteral("čtení konfigurace");

QString TextCteni(std::uint8_t typ, const TVysledekSekvence& v) {
    return MistoSekvence(CteniKonfigurace, v) + QStringLiteral(": ") + DuvodSekvence(typ, v);
}

QString TextNeodpovida(std::uint8_t typ, const TIdentifikace& id) {
    return QStringLiteral("neodpovídá: ") + TextKodu(typ, id.Vysledek);
}

// Why a module was not reached: a stop, or the line's rate refused.
QString Nedokonceno(const char* co, const TBehSbernice& beh) {
    const QString proc =
        beh.KodLinky != 0 && !beh.Preruseno
            ? QStringLiteral("linku nelze nastavit na %1 Bd").arg(beh.RychlostLinky)
            : QStringLiteral("přerušeno");
    return QStringLiteral("%1 (%2)").arg(QString::fromUtf8(co), proc);
}

// "2 moduly" with the noun as the count takes it.
QString Moduly(int n) {
    const char* tvar = n == 1 ? "modul" : (n >= 2 && n <= 4 ? "moduly" : "modulů");
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(tvar));
}

} // namespace

QString TextModuluSbernice(const TModulSbernice& m) {
    return QStringLiteral("adresa %1, %2 Bd").arg(m.Adresa).arg(m.Rychlost);
}

QString TextUlozeni(std::uint8_t typ, const TUlozenyModul& u, const TBehSbernice& beh) {
    switch (u.Konec) {
    case TKonecUlozeni::Ulozeno:
        return QStringLiteral("uloženo do %1 (%2)").arg(u.Soubor, ZobrazitelnyText(u.Id.Modul())) +
               (u.Varovani ? QStringLiteral("; varování: ") + TextNeplatneHodnoty(*u.Varovani)
                           : QString());
    case TKonecUlozeni::Neodpovida:
        return TextNeodpovida(typ, u.Id);
    case TKonecUlozeni::ChybaCteni:
        return TextCteni(typ, u.Cteni);
    case TKonecUlozeni::ChybaSouboru:
        return QStringLiteral("soubor %1 nelze uložit: %2").arg(u.Soubor, u.Duvod);
    case TKonecUlozeni::Neprovedeno:
        break;
    }
    return Nedokonceno("neuloženo", beh);
}

QString TextSouhrnuZalohy(const TVysledekZalohy& v, const QString& slozka) {
    QString text = QStringLiteral("Uloženo modulů: %1 z %2 do složky %3")
                       .arg(v.Ulozenych())
                       .arg(v.Moduly.size())
                       .arg(slozka);
    if (v.Beh.Preruseno) text += QStringLiteral(", přerušeno");
    if (!v.ChybaIndexu.isEmpty())
        text += QStringLiteral("; seznam %1 nelze uložit: %2")
                    .arg(QLatin1String(SouborIndexuZalohy), v.ChybaIndexu);
    else if (v.Index.isEmpty())
        text += QStringLiteral("; seznam zálohy nezapsán");
    return text;
}

QString TextPorovnani(std::uint8_t typ, const TPorovnanyModul& p, const TBehSbernice& beh) {
    switch (p.Stav) {
    case TStavPorovnani::Shoda:
        return QStringLiteral("bez rozdílů");
    case TStavPorovnani::Rozdily:
        return QStringLiteral("rozdílů: %1").arg(p.Popis.size());
    case TStavPorovnani::ChybiNaSbernici:
        return QStringLiteral("chybí na sběrnici (%1)").arg(TextNeodpovida(typ, p.Id));
    case TStavPorovnani::NeniVZaloze:
        return QStringLiteral("není v záloze (%1)").arg(ZobrazitelnyText(p.Id.Modul()));
    case TStavPorovnani::Neodpovida:
        return QStringLiteral("neodpovídá, není ani v záloze");
    case TStavPorovnani::ChybaCteni:
        return TextCteni(typ, p.Cteni);
    case TStavPorovnani::Neprovedeno:
        break;
    }
    return Nedokonceno("neporovnáno", beh);
}

QString TextSouhrnuPorovnani(const TVysledekPorovnani& v) {
    using S = TStavPorovnani;
    const int shoda = v.Pocet(S::Shoda);
    if (shoda == static_cast<int>(v.Moduly.size()))
        return QStringLiteral("Bez rozdílů: %1.").arg(Moduly(shoda));
    const struct {
        S Stav;
        const char* Text;
    } casti[] = {{S::Shoda, "bez rozdílů %1"},
                 {S::Rozdily, "s rozdíly %1"},
                 {S::ChybiNaSbernici, "chybí na sběrnici %1"},
                 {S::NeniVZaloze, "mimo zálohu %1"},
                 {S::Neodpovida, "neodpovídá %1"},
                 {S::ChybaCteni, "chyba čtení %1"},
                 {S::Neprovedeno, "neporovnáno %1"}};
    QStringList texty;
    for (const auto& c : casti)
        if (const int n = v.Pocet(c.Stav); n > 0) texty << QString::fromUtf8(c.Text).arg(Moduly(n));
    QString text = QStringLiteral("Moduly: ") + texty.join(QStringLiteral(", "));
    return v.Beh.Preruseno ? text + QStringLiteral("; přerušeno.") : text + u'.';
}

QString TextLinkySbernice(std::uint8_t typ, const TBehSbernice& b) {
    return QStringLiteral("nastavení rychlosti %1 Bd: %2")
        .arg(b.RychlostLinky)
        .arg(TextKodu(typ, b.KodLinky));
}

QString TextPrazdnehoSeznamu() {
    return QStringLiteral("Seznam modulů je prázdný. Moduly sběrnice se zadávají v okně "
                          "„Přehled sběrnice…“ (nebo je tam převezme poslední hledání).");
}
