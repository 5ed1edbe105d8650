#include "xraydata.h"

#include <cmath>
#include <map>
#include <memory>
#include <xraylib/xraylib.h>

namespace XrayData {

namespace {

struct CrystalFree
{
    void operator()(Crystal_Struct *c) const { Crystal_Free(c); }
};
using CrystalPtr = std::unique_ptr<Crystal_Struct, CrystalFree>;

// Takes xraylib's error, if any, as our message and frees it.
bool takeError(xrl_error *&err, QString &message)
{
    if (!err)
        return false;
    message = err->message ? QString::fromUtf8(err->message) : QStringLiteral("xraylib error");
    xrl_error_free(err);
    err = nullptr;
    return true;
}

// The crystal looked up once per material; a failed look-up is remembered with its message.
struct Entry
{
    CrystalPtr crystal;
    QString error;
};

const Entry &lookUp(const QString &material)
{
    static std::map<QString, Entry> crystals;
    auto found = crystals.find(material);
    if (found != crystals.end())
        return found->second;
    Entry e;
    xrl_error *err = nullptr;
    const QByteArray name = material.toUtf8();
    e.crystal.reset(Crystal_GetCrystal(name.constData(), nullptr, &err));
    QString message;
    if (takeError(err, message) || !e.crystal) {
        e.crystal.reset();
        e.error
            = message.isEmpty() ? QStringLiteral("no crystal data for %1").arg(material) : message;
    }
    return crystals.emplace(material, std::move(e)).first->second;
}

} // namespace

Result<Cell> cell(const QString &material)
{
    const Entry &e = lookUp(material);
    if (!e.crystal)
        return Result<Cell>::fail(e.error);
    const Crystal_Struct &c = *e.crystal;
    if (!(c.a > 0 && c.volume > 0 && std::isfinite(c.a) && std::isfinite(c.volume)))
        return Result<Cell>::fail(QStringLiteral("no cell for %1").arg(material));
    return Result<Cell>{Cell{c.a, c.volume}, QString()};
}

Result<std::complex<double>>
structureFactor(const QString &material, double energyEv, int h, int k, int l, double debyeFactor)
{
    using R = Result<std::complex<double>>;
    const Entry &e = lookUp(material);
    if (!e.crystal)
        return R::fail(e.error);
    if (!(energyEv > 0) || !std::isfinite(energyEv) || !std::isfinite(debyeFactor))
        return R::fail(QStringLiteral("no structure factor without a finite positive energy"));
    xrl_error *err = nullptr;
    // xraylib's energies are keV; only the energy itself crosses, no wavelength.
    const xrlComplex f = Crystal_F_H_StructureFactor(
        e.crystal.get(), energyEv / 1000.0, h, k, l, debyeFactor, 1.0, &err);
    QString message;
    if (takeError(err, message))
        return R::fail(message);
    // Below the reflection's cut-off xraylib returns NaN without an error.
    if (!std::isfinite(f.re) || !std::isfinite(f.im))
        return R::fail(QStringLiteral("no structure factor for %1 %2 %3 at %4 eV")
                           .arg(h)
                           .arg(k)
                           .arg(l)
                           .arg(energyEv));
    return R{std::complex<double>(f.re, f.im), QString()};
}

} // namespace XrayData
