// The main window: owns the program data record, opens every dialog from its
// menu and shows the connected module in its status bar.
#pragma once

#include "Dekl.h"
#include "RucniPrikaz.h"
#include "StatistikaSpojeni.h"
#include "ZaznamKomunikace.h"
#include <QBasicTimer>
#include <QDialog>
#include <QHash>
#include <QMainWindow>
#include <QMargins>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
struct TNastroj;

class TForm1 : public QMainWindow {
public:
    // How the record comes into being; empty means `new TData`. It may throw
    // std::bad_alloc like `new` does.
    using TVytvoreniDat = std::function<std::unique_ptr<TData>()>;

    // The settings file defaults to the running program's (link/Umisteni.h).
    explicit TForm1(QWidget* parent = nullptr, QString cestaNastaveni = QString(),
                    TVytvoreniDat vytvorData = {});
    ~TForm1() override;

    void FormCreate();
    void FormClose();
    void Pipojen1Click();
    void Konec2Click();
    void AdresaRychlost1Click();
    void NastavDIO1Click();
    void Kalibracevstup1Click();
    void OkamDIN2Click();
    void OkamDOUT1Click();
    void Statusregistr1Click();
    void OkamAIN2Click();
    // An item of the "Nástroje" menu.
    void OtevriNastroj(const TNastroj& nastroj);

    // The record, or null when it could not be created or is released.
    TData* Data() const { return Zaznam.get(); }
    const QString& CestaNastaveni() const { return Cesta; }
    // Panel 0 to 3 of the status bar.
    QLabel* Panel(int index) const;
    // The counts of every transaction of the program on the connection.
    TStatistikaSpojeni& Statistika() { return StatistikaSpojeni; }
    // Where ZpravaOperatorovi goes instead of a message box, once set (a
    // close at SIGTERM, which nobody is there to answer).
    std::function<void(const QString&)> ZpravaBezOkna;
    // Every transaction of the program, for the traffic log.
    TZaznamKomunikace& Komunikace() { return ZaznamKomunikace; }

    QMenu* Nastaven1;
    QMenu* Okamithodnoty1;
    QMenu* Nastroje1;
    QAction* Pipojen1;
    QAction* AdresaRychlost1;
    QAction* NastavDIO1;
    QAction* Kalibracevstup1;
    QAction* OkamAIN2;
    QAction* OkamDIN2;
    QAction* OkamDOUT1;
    QAction* Statusregistr1;
    QAction* Konec2;
    QStatusBar* StatusBar1;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    // Tells the operator about a failure that has no status bar of its own
    // (the settings file could not be written). Modal by default.
    virtual void ZpravaOperatorovi(const QString& text);

    // Opens one dialog the way every menu command does: a fresh instance
    // owned by this window, given the record, run modally, destroyed.
    template <class TDialog> void OtevriDialog() {
        if (!Zaznam) return;
        std::unique_ptr<TDialog> dialog(new TDialog(Zaznam.get(), this));
        dialog->exec();
    }

private:
    void VytvorMenu();
    void VytvorStavovyRadek();
    void ObnovPanely();
    void NastavVnejsiRozmer();
    void OtevriNemodalni(const TNastroj& nastroj);
    void ZavriNemodalni();

    QString Cesta;
    TVytvoreniDat VytvorData;
    std::unique_ptr<TData> Zaznam;
    TStatistikaSpojeni StatistikaSpojeni;
    TZaznamKomunikace ZaznamKomunikace;
    THistoriePrikazu HistoriePrikazu;
    std::vector<TModulSbernice> PosledniSken;
    // The open non-modal tool windows, by the object name of their menu item.
    QHash<QString, QPointer<QDialog>> NemodalniOkna;
    std::array<QLabel*, 4> Panely{};
    // The frame the outer size was last made for; none before the first show.
    std::optional<QMargins> OpravenoNaRamecek;
    QBasicTimer KontrolaRamecku;
    int ZbyvaKontrolRamecku = 0;
};
