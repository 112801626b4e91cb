#include "UlozeniKonfigurace.h"

#include "KonfiguraceModulu.h"
#include "Ovladace.h"

#include <QDateTime>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

TUlozeniKonfigurace::TUlozeniKonfigurace(TData& data, QWidget* parent)
    : TOknoNastroje(data, "UlozeniKonfigurace", QStringLiteral("Uložení konfigurace modulu"),
                    parent) {
    setFixedSize(460, 190);
    Label1 = Vytvor<QLabel>(this, "Label1",
                            QStringLiteral("Přečte všechny konfigurační registry modulu a uloží "
                                           "je do souboru."));
    Label1->setWordWrap(true);
    Label1->setGeometry(16, 12, 428, 40);
    ProgressBar1->setGeometry(16, 60, 428, 20);
    std::tie(Button1, Button2, Button3) = TlacitkaPrace(QStringLiteral("Uložit…"));
    int x = 16;
    for (QPushButton* b : {Button1, Button2, Button3}) {
        b->setGeometry(x, 100, 132, 30);
        x += 148;
    }
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
    const QStringList hlavicka = {QStringLiteral("Konfigurace modulu ZR-464"),
                                  QStringLiteral("modul %1, adresa %2, %3 Bd, %4")
                                      .arg(Data.Modul.isEmpty() ? QStringLiteral("?") : Data.Modul)
                                      .arg(Data.Adresa)
                                      .arg(Data.Rychlost)
                                      .arg(QDateTime::currentDateTime().toString(Qt::ISODate))};
    const QByteArray text = ZapisCfm(k, hlavicka, Data.Modul);
    QString duvod;
    if (!UlozSouborCfm(cesta, text, duvod))
        return ZobrazStav(QStringLiteral(" Soubor %1 nelze uložit: %2").arg(cesta, duvod));
    QString zprava = QStringLiteral(" Konfigurace uložena do souboru %1.").arg(cesta);
    // The module's values are saved as they are; one a file may not hold is
    // named, as loading the file will refuse it.
    if (const auto chyba = NeplatnaHodnota(text))
        zprava += QStringLiteral(" Varování: řádek %1: %2; soubor nepůjde nahrát, dokud hodnotu "
                                 "neopravíte.")
                      .arg(chyba->Radek)
                      .arg(chyba->Text);
    ZobrazStav(zprava);
}
