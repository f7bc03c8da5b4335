#include "params/TIgnParams.h"

namespace kelmor {

void SetDefaults(TIgnParams& p) {
    p.PocetBodu = 15;
    p.BaseAdv = 10;
    p.Omez1 = 250;
    p.Omez2 = 150;
    p.Retard = 6;
    p.Polarita = 2;
    p.GeberNr = 1;
    p.LedRazeni = 120;
    p.Clutch1 = 20;
    p.Clutch2 = 100;
    p.Input1 = 0;
    p.Input2 = 0;
    p.ZakazCteni = 0;
    p.RpmPulsu = 2;
    p.RpmKorekce = 100;
    p.RevOutLedRazeni = 0;
    p.Bike = 0;
    for (int k = 0; k < CURVE_POINTS; ++k) {
        p.RpmAdv[k] = static_cast<uint8_t>(10 * (k + 1));
        p.Advance[k] = 10;
    }
}

void Normalise(TIgnParams& p) {
    for (int k = 0; k < CURVE_POINTS; ++k) {
        if (p.RpmAdv[k] < k + 6) p.RpmAdv[k] = static_cast<uint8_t>(k + 6);
        if (p.RpmAdv[k] > k + 186) p.RpmAdv[k] = static_cast<uint8_t>(k + 186);
    }
    // Only raising: the bounds above grow by one per point, so no speed
    // leaves its upper bound here.
    for (int k = 1; k < CURVE_POINTS; ++k)
        if (p.RpmAdv[k] <= p.RpmAdv[k - 1]) p.RpmAdv[k] = static_cast<uint8_t>(p.RpmAdv[k - 1] + 1);
    if (p.Omez1 > p.Omez2) p.Omez1 = p.Omez2;
    if (p.Bike == 7)
        for (auto& a : p.Advance)
            if (a > p.BaseAdv) a = p.BaseAdv;
}

void Normalise(TIgnParams& p, uint8_t& language, uint8_t& comPort) {
    Normalise(p);
    if (language > 3) language = 0;
    if (comPort > 10) comPort = 1;
}

} // namespace kelmor
