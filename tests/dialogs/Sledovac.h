// Watches a dialog's status panel: every text it paints, merged with the
// commands the fake library (if any) received, and an action when a text
// shows.
#pragma once

#include "ZaznamSekvence.h"

#include <QEvent>
#include <QLabel>
#include <functional>
#include <map>
#include <memory>

class Sledovac : public QObject {
public:
    explicit Sledovac(QLabel* panel, const FakeOvladac* fake = nullptr, std::uint32_t adresa = 0,
                      std::uint32_t spojeni = 0)
        : panel_(panel), fake_(fake), adresa_(adresa), spojeni_(spojeni) {
        panel_->installEventFilter(this);
        Znovu();
    }
    ~Sledovac() override { panel_->removeEventFilter(this); }

    // Starts a new record from the commands of now; the next paint counts
    // even with the text of now (shown again).
    void Znovu() {
        zaznam_ = std::make_unique<ZaznamSekvence>(fake_, adresa_, spojeni_);
        prvni_ = true;
    }
    // Runs `akce` when the panel first shows the text of this mark ("c50").
    void Pri(const std::string& znacka, std::function<void()> akce) { akce_[znacka] = akce; }
    std::string Text() { return zaznam_->Text(); }

protected:
    bool eventFilter(QObject* objekt, QEvent* udalost) override {
        if (udalost->type() != QEvent::Paint) return false;
        // Other paints (the window's own) repeat the text shown last.
        if (!prvni_ && panel_->text() == posledni_) return false;
        prvni_ = false;
        posledni_ = panel_->text();
        const std::string znacka = ZnackaStavu(posledni_);
        zaznam_->Pridej(znacka);
        if (const auto a = akce_.find(znacka); a != akce_.end()) {
            const auto akce = a->second;
            akce_.erase(a);
            akce();
        }
        return QObject::eventFilter(objekt, udalost);
    }

private:
    QLabel* panel_;
    const FakeOvladac* fake_;
    std::uint32_t adresa_;
    std::uint32_t spojeni_;
    std::unique_ptr<ZaznamSekvence> zaznam_;
    QString posledni_;
    bool prvni_ = true;
    std::map<std::string, std::function<void()>> akce_;
};
