#include "OknoZkousky.h"

#include "Cfm.h"
#include "Ovladace.h"
#include "Prevod.h"
#include "ProtokolZkousky.h"
#include "Texty.h"
#include "TextyZkousky.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The operator's name, kept for the next test while the program runs.
QString& ZapamatovanaObsluha() {
    static QString jmeno = qEnvironmentVariable("USER");
    return jmeno;
}

QString UlozitProtokol(QWidget* rodic, bool) {
    return QFileDialog::getSaveFileName(rodic, QStringLiteral("Uložit protokol o zkoušce"),
                                        QString(), QStringLiteral("Protokol PDF  (*.pdf)"));
}

} // namespace

TOknoZkousky::TOknoZkousky(TData& data, QWidget* parent)
    : TOknoNastroje(data, "ZkouskaModulu", QStringLiteral("Zkouška modulu"), parent),
      VolbaProtokolu(UlozitProtokol) {
    VytvorOvladace();
    Rozmisti();
    connect(Button1, &QPushButton::clicked, this, &TOknoZkousky::Button1Click);
    connect(Button4, &QPushButton::clicked, this, &TOknoZkousky::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TOknoZkousky::VyberOcekavanou);
    connect(ButtonAno, &QPushButton::clicked, this, [this] { Odpovez(TVysledekKroku::Proslo); });
    connect(ButtonNe, &QPushButton::clicked, this, [this] { Odpovez(TVysledekKroku::Selhalo); });
    connect(ButtonPreskocit, &QPushButton::clicked, this,
            [this] { Odpovez(TVysledekKroku::Preskoceno); });
    connect(ButtonHotovo, &QPushButton::clicked, this, [this] { Odpovez(TVysledekKroku::Proslo); });
    PriPraci(false);
}

void TOknoZkousky::VytvorOvladace() {
    Edit1 = Vytvor<QLineEdit>(this, "Edit1", ZapamatovanaObsluha());
    CheckBox1 = Vytvor<QCheckBox>(this, "CheckBox1", QStringLiteral("Výstupy propojeny se vstupy"));
    Edit2 = Vytvor<QLineEdit>(this, "Edit2", QStringLiteral("200"));
    Edit3 = Vytvor<QLineEdit>(this, "Edit3", QStringLiteral("0x00000000"));
    Label5 = Vytvor<QLabel>(this, "Label5", QStringLiteral("nezvolena"));
    Label6 = Vytvor<QLabel>(this, "Label6", QString());
    Label6->setWordWrap(true);
    StringGrid1 = TabulkaNastroje(
        this, "StringGrid1",
        {QStringLiteral("Krok"), QStringLiteral("Výsledek"), QStringLiteral("Naměřeno")});
    for (int n = 0; n < 32; ++n) {
        const QByteArray jmeno = "CheckBox" + QByteArray::number(n + 2);
        auto* box = Vytvor<QCheckBox>(this, jmeno.constData(), QStringLiteral("DIN%1").arg(n));
        box->setAttribute(Qt::WA_TransparentForMouseEvents); // shows, is not clicked
        box->setFocusPolicy(Qt::NoFocus);
        Vstupy[static_cast<std::size_t>(n)] = box;
    }
    std::tie(Button1, Button2, Button3) = TlacitkaPrace(QStringLiteral("&Spustit"));
    Button4 = TlacitkoNastroje(this, "Button4", QStringLiteral("&Uložit protokol…"));
    Button5 = TlacitkoNastroje(this, "Button5", QStringLiteral("Zv&olit…"));
    ButtonAno = TlacitkoNastroje(this, "ButtonAno", QStringLiteral("&Ano"));
    ButtonNe = TlacitkoNastroje(this, "ButtonNe", QStringLiteral("&Ne"));
    ButtonPreskocit = TlacitkoNastroje(this, "ButtonPreskocit", QStringLiteral("&Přeskočit"));
    ButtonHotovo = TlacitkoNastroje(this, "ButtonHotovo", QStringLiteral("&Hotovo"));
}

void TOknoZkousky::Rozmisti() {
    auto* volby = new QFormLayout;
    volby->addRow(QStringLiteral("Obsluha"), Edit1);
    volby->addRow(QString(), CheckBox1);
    volby->addRow(QStringLiteral("Odezva vstupu [ms]"), Edit2);
    volby->addRow(QStringLiteral("Výstupy po zkoušce"), Edit3);
    volby->addRow(QString(), new QLabel(QStringLiteral("Modul nehlásí, co drží na výstupech: po "
                                                       "zkoušce (i po Zastavit) dostanou toto "
                                                       "slovo, výchozí vše vypnuto."),
                                        this));
    auto* soubor = new QHBoxLayout;
    soubor->addWidget(Label5, 1);
    soubor->addWidget(Button5);
    volby->addRow(QStringLiteral("Očekávaná konfigurace"), soubor);
    Obsah()->addLayout(volby);
    Obsah()->addWidget(StringGrid1, 1);
    auto* vstupy = new QGroupBox(QStringLiteral("Vstupy, jejichž změna byla viděna"), this);
    auto* mrizka = new QGridLayout(vstupy);
    for (int n = 0; n < 32; ++n)
        mrizka->addWidget(Vstupy[static_cast<std::size_t>(n)], n / 8, n % 8);
    Obsah()->addWidget(vstupy);
    Obsah()->addWidget(Label6);
    auto* odpovedi = new QHBoxLayout;
    for (QPushButton* b : {ButtonAno, ButtonNe, ButtonPreskocit, ButtonHotovo})
        odpovedi->addWidget(b);
    odpovedi->addStretch(1);
    Obsah()->addLayout(odpovedi);
    auto* prace = new QHBoxLayout;
    for (QPushButton* b : {Button1, Button2, Button4, Button3})
        prace->addWidget(b);
    Obsah()->addLayout(prace);
    StringGrid1->setColumnWidth(0, 180);
    StringGrid1->setColumnWidth(1, 90);
    PrizpusobVelikost(QSize(720, 640));
}

void TOknoZkousky::PriPraci(bool bezi) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{Edit1, CheckBox1, Edit2, Edit3, Button1, Button4, Button5})
        w->setEnabled(!bezi);
    Button4->setEnabled(!bezi && Vysledek.has_value());
    Button2->setEnabled(bezi);
    const TCekaniZkousky c = Aktualni != nullptr ? Aktualni->Ceka() : TCekaniZkousky::Nic;
    ButtonAno->setEnabled(c == TCekaniZkousky::Potvrzeni);
    ButtonNe->setEnabled(c == TCekaniZkousky::Potvrzeni);
    ButtonPreskocit->setEnabled(c != TCekaniZkousky::Nic);
    ButtonHotovo->setEnabled(c == TCekaniZkousky::Vstupy);
}

std::optional<TNastaveniZkousky> TOknoZkousky::Nastaveni() {
    TNastaveniZkousky n = Zaklad;
    n.Propojeni = CheckBox1->isChecked();
    const auto odezva = TextNaCislo(Edit2->text().trimmed());
    const auto vystupy = CisloBezZnamenka(Edit3->text().trimmed());
    if (!odezva || *odezva < 1 || *odezva > 60000 || !vystupy) {
        ZobrazStav(
            QStringLiteral(" Odezva musí být 1-60000 ms a výstupy číslo (např. 0x0000000F)."));
        return std::nullopt;
    }
    n.CasOdezvyMs = static_cast<int>(*odezva);
    n.ObnovitVystupy = *vystupy;
    if (!Ocekavana.isEmpty()) {
        TChybaCfm chyba;
        n.Ocekavana = NactiSouborCfm(Ocekavana, chyba);
        if (!n.Ocekavana) {
            ZobrazStav(u' ' + Ocekavana + QStringLiteral(", ") + MistoCfm(chyba) +
                       QStringLiteral(": ") + chyba.Text);
            return std::nullopt;
        }
    }
    return n;
}

void TOknoZkousky::Button1Click() {
    if (Bezi() || !Pripojeno()) return;
    const auto n = Nastaveni();
    if (!n) return;
    ZapamatovanaObsluha() = Edit1->text().trimmed();
    Pouzite = *n;
    Vysledek.reset();
    StringGrid1->setRowCount(0);
    for (QCheckBox* box : Vstupy)
        box->setChecked(false);
    TZkouskaModulu z(Data, *n);
    Spust([&] { Proved(z); });
}

void TOknoZkousky::Proved(TZkouskaModulu& z) {
    Aktualni = &z;
    ZacniPrubeh(z.Celkem());
    ZobrazStav(QStringLiteral(" Probíhá zkouška modulu…"));
    // A step at a time; while the test waits for the operator the window
    // sleeps until an event comes (a click, a close).
    while (z.Krok()) {
        Ukaz(z);
        if (!Cekej(z)) z.Zastav();
    }
    Ukaz(z);
    Aktualni = nullptr;
    Vysledek = z.Vysledek();
    Label6->setText(QString());
    ZobrazStav(QStringLiteral(" Zkouška skončila: ") + TextVerdiktu(Vysledek->Verdikt()) +
               (Vysledek->Zastaveno ? QStringLiteral(" (zastavena)") : QString()) +
               QStringLiteral(". Výstupy vráceny na ") + Edit3->text().trimmed() + u'.');
}

bool TOknoZkousky::Cekej(TZkouskaModulu& z) {
    if (z.Ceka() == TCekaniZkousky::Potvrzeni)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    else
        return Prubeh().Pauza();
    return Pokracovat();
}

void TOknoZkousky::Ukaz(const TZkouskaModulu& z) {
    const auto& kroky = z.Vysledek().Kroky;
    for (auto i = static_cast<std::size_t>(StringGrid1->rowCount()); i < kroky.size(); ++i) {
        PridejRadek(StringGrid1,
                    {kroky[i].Nazev, TextVysledkuKroku(kroky[i].Vysledek), kroky[i].Namereno});
        StringGrid1->scrollToBottom();
    }
    ProgressBar1->setValue(z.Hotovo());
    for (int n = 0; n < 32; ++n)
        Vstupy[static_cast<std::size_t>(n)]->setChecked((z.VidenaZmena() >> n) & 1u);
    if (z.Ceka() == TCekaniZkousky::Potvrzeni)
        Label6->setText(QStringLiteral("Zapnut je jen výstup DOUT%1. Sepnul? Ano / Ne / Přeskočit")
                            .arg(z.ZapnutyVystup()));
    else if (z.Ceka() == TCekaniZkousky::Vstupy)
        Label6->setText(QStringLiteral("Změňte postupně každý vstup DIN0-DIN31; viděné se "
                                       "zaškrtnou. Hotovo ukončí krok."));
    else
        Label6->setText(QString());
    PriPraci(true);
}

void TOknoZkousky::Odpovez(TVysledekKroku odpoved) {
    if (Aktualni != nullptr) Aktualni->Potvrd(odpoved);
}

void TOknoZkousky::VyberOcekavanou() {
    const QString cesta = VyberSoubor(false);
    if (cesta.isEmpty()) return;
    Ocekavana = cesta;
    Label5->setText(cesta);
}

void TOknoZkousky::Button4Click() {
    if (Bezi() || !Vysledek) return;
    const QString cesta = VolbaProtokolu ? VolbaProtokolu(this, true) : QString();
    if (cesta.isEmpty()) return;
    TProtokolZkousky p = NovyProtokol(Data, Pouzite, *Vysledek, ZapamatovanaObsluha());
    p.SouborOcekavane = Ocekavana;
    QString chyba;
    if (UlozProtokol(cesta, p, true, chyba))
        ZobrazStav(QStringLiteral(" Protokol uložen: %1, %2").arg(cesta, CestaJson(cesta)));
    else
        ZobrazStav(QStringLiteral(" Protokol nelze uložit: ") + chyba);
}
