// "Hledat moduly na sběrnici…": scans an address range at the chosen rates
// over the program's connection, lists the modules as they are found, and
// makes a chosen one the program's module, as a successful connection would.
// At the end of a scan the modules found become the last scan's list, which
// the bus overview offers.
#pragma once

#include "OknoNastroje.h"
#include "Sken.h"

#include <array>
#include <optional>

class QCheckBox;
class QLineEdit;
class QListWidget;

class THledaniModulu : public TOknoNastroje {
public:
    THledaniModulu(TData& data, QWidget* parent = nullptr);
    // The modules found go into `posledniSken` (kept by the caller).
    THledaniModulu(TData& data, std::vector<TModulSbernice>& posledniSken,
                   QWidget* parent = nullptr);

    void Button1Click(); // "Hledat"
    void Button2Click(); // "Zastavit"
    void Button3Click(); // "Použít"

    QLineEdit* Edit1;                                   // first address
    QLineEdit* Edit2;                                   // last address
    std::array<QCheckBox*, PocetRychlosti> Rychlosti{}; // CheckBox1 to CheckBox9
    QLabel* Label3;                                     // probes, modules found, time left
    QTableWidget* StringGrid1;
    QListWidget* ListBox1; // unconfirmed answers
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;

protected:
    void PriPraci(bool bezi) override;

private:
    void VytvorOvladace();
    void RozmistiOvladace();
    std::optional<std::vector<std::uint8_t>> Adresy();
    std::vector<std::int32_t> VybraneRychlosti() const;
    void Skenuj(TSken& sken);
    void ZobrazPrubeh(const TSken& sken);
    void ZobrazVysledek(const TVysledekSkenu& v, int celkem);
    // The scan leaves the line at another rate and time-out: the program's
    // module is reached again at its rate afterwards.
    bool NastavLinku(std::int32_t rychlost);

    std::vector<TNalezenyModul> Nalezene;
    std::vector<TModulSbernice> VlastniSken;
    std::vector<TModulSbernice>& PosledniSken;
};
