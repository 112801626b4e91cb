#include "NahraniKonfigurace.h"

#include "Identifikace.h"
#include "Ovladace.h"
#include "Prevod.h"
#include "Texty.h"
#include "Xxxx683.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TNahraniKonfigurace::TNahraniKonfigurace(TData& data, QWidget* parent)
    : TPorovnaniKonfigurace(data, "NahraniKonfigurace",
                            QStringLiteral("Nahrání konfigurace do modulu"),
                            QStringLiteral("&Otevřít…"),
                            QStringLiteral("Zapsat také &adresu a rychlost modulu"), parent) {
    Label2 = Vytvor<QLabel>(this, "Label2",
                            QStringLiteral("Adresa a rychlost platí až po příštím restartu "
                                           "modulu."));
    Label2->setContentsMargins(20, 0, 0, 0);
    Obsah->insertWidget(2, Label2);
    Button4 = TlacitkoNastroje(this, "Button4", QStringLiteral("Zapsat do &modulu"));
    Tlacitka->insertWidget(1, Button4);
    connect(Button4, &QPushButton::clicked, this, &TNahraniKonfigurace::Button4Click);
    PriPraci(false);
}

void TNahraniKonfigurace::PriPraci(bool bezi) {
    TPorovnaniKonfigurace::PriPraci(bezi);
    // Writing needs a checked file and the module's configuration beside it.
    if (Button4 != nullptr) Button4->setEnabled(!bezi && Soubor && Modul);
}

QString TNahraniKonfigurace::TextRozdilu(int pocet) const {
    return TPorovnaniKonfigurace::TextRozdilu(pocet) +
           QStringLiteral(" Zapsat konfiguraci ze souboru do modulu?");
}

bool TNahraniKonfigurace::ZeptejSe(QWidget* rodic, const QString& otazka) {
    return QMessageBox::question(rodic, QStringLiteral("Nahrání konfigurace do modulu"), otazka,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

// The module as it identifies itself now, for the operator to confirm; a
// file from a module of another name is confirmed a second time.
std::optional<TIdentifikace> TNahraniKonfigurace::PotvrdCil() {
    const TIdentifikace id = IdentifikujModul(Data.Rozhrani, Data.Spojeni, Data.Adresa);
    if (!id.Ok()) {
        ZobrazStav(QStringLiteral(" Identifikace modulu: %1; nic nebylo zapsáno.")
                       .arg(TextKodu(Data.Rozhrani, id.Vysledek)));
        return std::nullopt;
    }
    const QString cil = QStringLiteral("modulu %1 na adrese %2, %3 Bd")
                            .arg(ZobrazitelnyText(id.Modul()))
                            .arg(Data.Adresa)
                            .arg(Data.Rychlost);
    if (!Potvrzeni(this, QStringLiteral("Zapsat konfiguraci ze souboru do %1?").arg(cil))) {
        ZobrazStav(QStringLiteral(" Nic nebylo zapsáno."));
        return std::nullopt;
    }
    if (!JinyModul(ModulSouboru, id)) return id;
    const QString jiny =
        QStringLiteral("Soubor je uložen z modulu %1, cílem je %2.").arg(ModulSouboru, cil);
    if (Potvrzeni(this, jiny + QStringLiteral(" Zapsat přesto?"))) return id;
    ZobrazStav(QStringLiteral(" ") + jiny + QStringLiteral(" Nic nebylo zapsáno."));
    return std::nullopt;
}

void TNahraniKonfigurace::Button4Click() {
    if (Bezi() || !Soubor || !Pripojeno()) return;
    const std::optional<TIdentifikace> id = PotvrdCil();
    if (!id) return;
    const TKonfigurace zeSouboru = *Soubor;
    const bool sAdresou = CheckBox1->isChecked();
    TVysledekZapisu z;
    Spust([&] {
        ZacniPrubeh(PocetRegistruZapisu(sAdresou) + PocetRegistruCteni());
        // The operator has confirmed the module, its name included.
        z = ZapisKonfiguraci(Data, zeSouboru, sAdresou, Prubeh(), {ModulSouboru, true, id});
    });
    // The engine's own read-back after the last register is the module's
    // configuration now.
    if (z.Verze.Ok() && z.Sekvence.Ok() && z.Overeni.Konec != TKonecSekvence::ChybaPrikazu &&
        z.Overeni.Konec != TKonecSekvence::Preruseno) {
        Modul = z.Modul;
        ZobrazRozdily();
    }
    ZobrazStav(TextVysledku(z));
}

QString TNahraniKonfigurace::TextVysledku(const TVysledekZapisu& z) {
    using TKonec = TKontrolaVerze::TKonec;
    if (z.Verze.Konec == TKonec::ChybaIdentifikace || z.Verze.Konec == TKonec::ChybaLinky)
        return QStringLiteral(" %1: %2; nic nebylo zapsáno.")
            .arg(z.Verze.Konec == TKonec::ChybaLinky ? QStringLiteral("Zkouška nové adresy")
                                                     : QStringLiteral("Identifikace modulu"),
                 TextKodu(Data.Rozhrani, z.Verze.Kod));
    if (z.Verze.Konec == TKonec::AdresaObsazena) {
        QString text = TextObsazeneAdresy(z.Verze, *Soubor);
        text[0] = text[0].toUpper();
        return u' ' + text + QStringLiteral("; nic nebylo zapsáno.");
    }
    if (!z.Verze.Ok()) {
        QString text = TextVerze(z.Verze, Soubor->InicializacniCas);
        text[0] = text[0].toUpper();
        return u' ' + text + QStringLiteral("; nic nebylo zapsáno.");
    }
    if (!z.Sekvence.Ok())
        return TextChyby(QStringLiteral("Zápis konfigurace"), z.Sekvence) +
               QStringLiteral(" (zapsáno %1 z %2 registrů)").arg(z.Hotovo).arg(z.Celkem);
    if (z.Overeni.Konec == TKonecSekvence::ChybaZapisu)
        return QStringLiteral(" Kontrolní čtení, registr %1: ").arg(z.Overeni.Registr) +
               TextOvereni(z.Overeni, *Soubor);
    if (!z.Overeni.Ok()) return TextChyby(QStringLiteral("Kontrolní čtení"), z.Overeni);
    const int rozdilu = StringGrid1->rowCount();
    if (rozdilu > 0)
        return QStringLiteral(" Zapsáno, ale modul se od souboru liší v %1 hodnotách.")
            .arg(rozdilu);
    return QStringLiteral(" Konfigurace zapsána a ověřena (%1 registrů).%2")
        .arg(z.Celkem)
        .arg(CheckBox1->isChecked()
                 ? QStringLiteral(" Adresa a rychlost platí až po příštím restartu modulu.")
                 : QString());
}
