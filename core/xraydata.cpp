#include "xraydata.h"

#include <cmath>
#include <map>
#include <memory>
#include <mutex>
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

// Guards the look-ups below: a crystal once made is never changed or freed.
std::mutex &lock()
{
    static std::mutex m;
    return m;
}

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

// A copy of the material's crystal with the cubic lattice constant a, made once per material and
// constant and kept (up to 16 of them: an analysis asks for one constant many times).
const Crystal_Struct *cubicCopy(const QString &material, double a, QString &error)
{
    static std::map<std::pair<QString, double>, CrystalPtr> copies;
    const auto key = std::make_pair(material, a);
    const auto found = copies.find(key);
    if (found != copies.end())
        return found->second.get();
    const Entry &e = lookUp(material);
    if (!e.crystal) {
        error = e.error;
        return nullptr;
    }
    const Crystal_Struct &c = *e.crystal;
    if (!(c.a == c.b && c.b == c.c && c.alpha == 90 && c.beta == 90 && c.gamma == 90)) {
        error = QStringLiteral("the cell of %1 is not cubic").arg(material);
        return nullptr;
    }
    xrl_error *err = nullptr;
    CrystalPtr copy(Crystal_MakeCopy(e.crystal.get(), &err));
    if (takeError(err, error) || !copy) {
        if (error.isEmpty())
            error = QStringLiteral("no copy of the crystal %1").arg(material);
        return nullptr;
    }
    copy->a = copy->b = copy->c = a;
    copy->volume = a * a * a;
    if (copies.size() >= 16)
        copies.clear();
    return copies.emplace(key, std::move(copy)).first->second.get();
}

std::optional<std::complex<double>> evaluate(
    const Crystal_Struct *c, double energyEv, int h, int k, int l, double debye, QString &error)
{
    xrl_error *err = nullptr;
    // xraylib's energies are keV; only the energy itself crosses, no wavelength.
    const xrlComplex f = Crystal_F_H_StructureFactor(
        const_cast<Crystal_Struct *>(c), energyEv / 1000.0, h, k, l, debye, 1.0, &err);
    if (takeError(err, error))
        return std::nullopt;
    // Below the reflection's cut-off xraylib returns NaN without an error.
    if (!std::isfinite(f.re) || !std::isfinite(f.im)) {
        error = QStringLiteral("no structure factor for %1 %2 %3 at %4 eV")
                    .arg(h)
                    .arg(k)
                    .arg(l)
                    .arg(energyEv);
        return std::nullopt;
    }
    return std::complex<double>(f.re, f.im);
}

} // namespace

Result<Cell> cell(const QString &material)
{
    const std::lock_guard<std::mutex> guard(lock());
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
    const std::lock_guard<std::mutex> guard(lock());
    const Entry &e = lookUp(material);
    if (!e.crystal)
        return R::fail(e.error);
    if (!(energyEv > 0) || !std::isfinite(energyEv) || !std::isfinite(debyeFactor))
        return R::fail(QStringLiteral("no structure factor without a finite positive energy"));
    QString message;
    const auto f = evaluate(e.crystal.get(), energyEv, h, k, l, debyeFactor, message);
    if (!f)
        return R::fail(message);
    return R{*f, QString()};
}

Result<StructureFactors> realStructureFactors(const QString &material,
                                              double latticeConstant,
                                              double energyEv,
                                              int h,
                                              int k,
                                              int l,
                                              double debyeFactor)
{
    using R = Result<StructureFactors>;
    if (!(energyEv > 0) || !std::isfinite(energyEv) || !std::isfinite(debyeFactor))
        return R::fail(QStringLiteral("no structure factor without a finite positive energy"));
    if (!(latticeConstant > 0) || !std::isfinite(latticeConstant))
        return R::fail(QStringLiteral("no structure factor without a lattice constant"));
    const std::lock_guard<std::mutex> guard(lock());
    QString message;
    const Crystal_Struct *c = cubicCopy(material, latticeConstant, message);
    if (!c)
        return R::fail(message);
    const auto f0 = evaluate(c, energyEv, 0, 0, 0, 1.0, message);
    const auto fh = f0 ? evaluate(c, energyEv, h, k, l, debyeFactor, message) : std::nullopt;
    const auto fhbar = fh ? evaluate(c, energyEv, -h, -k, -l, debyeFactor, message) : std::nullopt;
    if (!fhbar)
        return R::fail(message);
    return R{StructureFactors{*f0, *fh, *fhbar}, QString()};
}

} // namespace XrayData
