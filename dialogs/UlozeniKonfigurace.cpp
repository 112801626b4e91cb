#include "UlozeniKonfigurace.h"

#include "KonfiguraceModulu.h"
#include "Ovladace.h"
#include "Texty.h"
#include "VelikostOkna.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TUlozeniKonfigurace::TUlozeniKonfigurace(TData& data, QWidget* parent)
    : TOknoNastroje(data, "UlozeniKonfigurace", QStringLiteral("Uložení konfigurace modulu"),
                    parent) {
    Label1 = Vytvor<QLabel>(this, "Label1",
                            QStringLiteral("Přečte všechny konfigurační registry modulu a uloží "
                                           "je do souboru."));
    Label1->setWordWrap(true);
    std::tie(Button1, Button2, Button3) = TlacitkaPrace(QStringLiteral("&Uložit…"));
    QVBoxLayout* obsah = RozlozeniObsahu(this);
    obsah->addWidget(Label1);
    obsah->addWidget(ProgressBar1);
    obsah->addStretch(1);
    auto* tlacitka = new QHBoxLayout;
    for (QPushButton* b : {Button1, Button2, Button3})
        tlacitka->addWidget(b);
    tlacitka->addStretch(1);
    obsah->addLayout(tlacitka);
    PrizpusobivaVelikost(this, QSize(460, 190), &Data);
    connect(Button1, &QPushButton::clicked, this, &TUlozeniKonfigurace::Button1Click);
    PriPraci(false);
}

void TUlozeniKonfigurace::PriPraci(bool bezi) {
    Button1->setEnabled(!bezi);
    Button2->setEnabled(bezi);
}

void TUlozeniKonfigurace::Button1Click() {
    if (Bezi() || !Pripojeno()) return;
    TKonfigurace k = VychoziKonfigurace();
    TVysledekSekvence v;
    Spust([&] {
        ZacniPrubeh(PocetRegistruCteni());
        v = PrectiKonfiguraci(Data, k, Prubeh());
    });
    if (!v.Ok()) return ZobrazStav(TextChyby(QStringLiteral("Čtení konfigurace"), v));
    const QString cesta = VyberSoubor(true);
    if (!cesta.isEmpty()) Uloz(k, cesta);
}

void TUlozeniKonfigurace::Uloz(const TKonfigurace& k, const QString& cesta) {
    const QByteArray text =
        ZapisCfm(k, HlavickaCfm({}, Data.Modul, Data.Adresa, Data.Rychlost), Data.Modul);
    QString duvod;
    if (!UlozSouborCfm(cesta, text, duvod))
        return ZobrazStav(QStringLiteral(" Soubor %1 nelze uložit: %2").arg(cesta, duvod));
    QString zprava = QStringLiteral(" Konfigurace uložena do souboru %1.").arg(cesta);
    // The module's values are saved as they are; one a file may not hold is
    // named, as loading the file will refuse it.
    if (const auto chyba = NeplatnaHodnota(text))
        zprava += QStringLiteral(" Varování: ") + TextNeplatneHodnoty(*chyba) + u'.';
    ZobrazStav(zprava);
}
