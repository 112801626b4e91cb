// The digital I/O settings dialog: per channel the input negation, the
// output negation and the outputs' state after power-up (registers 32 to
// 43, the three masks interleaved byte by byte).
#pragma once

#include "KonfiguracniDialog.h"

#include <array>

class QCheckBox;
class QGroupBox;

class TForm14 : public TKonfiguracniDialog {
public:
    static constexpr int PocetSkupin = 3;
    static constexpr int KanaluVeSkupine = 32;
    static constexpr int PocetPoli = PocetSkupin * KanaluVeSkupine;

    explicit TForm14(TData* data, QWidget* parent = nullptr);

    // Never refuses: every combination of boxes is a valid configuration.
    void PrectiOkno(TKonfigurace& konfigurace) override;
    void ZapisOkno(const TKonfigurace& konfigurace) override;

    // Box k (CheckBox1 to CheckBox96) is CheckBox[k - 1].
    QCheckBox* Pole(int skupina, int kanal) const;

    QGroupBox* GroupBox1;
    QGroupBox* GroupBox2;
    QGroupBox* GroupBox3;
    std::array<QCheckBox*, PocetPoli> CheckBox{};

private:
    void VytvorSkupinu(int skupina, QGroupBox* ramecek);
};
