// The fixture of the binding's tests.
#pragma once

#include "FakeOvladac.h"
#include "Xxxx683.h"

#include <gtest/gtest.h>

// Leaves nothing bound before and after every test (an init with a type
// above 4 drops the binding without loading anything).
class Vazba : public ::testing::Test {
protected:
    void SetUp() override {
        Odvaz();
        NastavAdresarKnihoven(QStringLiteral(ZR_FAKELIB_DIR));
    }
    void TearDown() override {
        Odvaz();
        NastavAdresarKnihoven({});
    }
    static void Odvaz() {
        std::uint32_t h = 0;
        InitRozhrani(5, h, TParametry{});
    }
};
