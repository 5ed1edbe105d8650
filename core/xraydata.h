#pragma once

#include <QString>

#include <complex>
#include <optional>

// X-ray data of crystal materials from xraylib, behind our own types: nothing outside
// xraydata.cpp sees xraylib's structs, its keV energies or its error handling. Every failure,
// including a result that is not a finite number, comes back as an error message.
namespace XrayData {

// A value, or why there is none.
template <class T> struct Result
{
    std::optional<T> value;
    QString error; // empty when there is a value

    bool ok() const { return value.has_value(); }
    static Result fail(const QString &why) { return Result{std::nullopt, why}; }
};

// The cubic cell of a material as xraylib tabulates it (its accepted values).
struct Cell
{
    double a = 0;      // lattice constant, Angstrom
    double volume = 0; // Angstrom^3
};

// The cell of "Si", "Ge" or another crystal xraylib knows by that name.
Result<Cell> cell(const QString &material);

// The structure factor F_(hkl) of one unit cell at the photon energy (eV, > 0), atomic form
// factors with both anomalous terms, every atom's factor multiplied by debyeFactor. xraylib's
// convention: absorption gives F_0 a positive imaginary part. h = k = l = 0 gives F_0. The
// energy must reach the reflection (xraylib evaluates the form factor at its Bragg angle).
Result<std::complex<double>>
structureFactor(const QString &material, double energyEv, int h, int k, int l, double debyeFactor);

// F_0, F_H and F_-H of one cell; F_H and F_-H carry the temperature factor, F_0 does not.
struct StructureFactors
{
    std::complex<double> f0, fh, fhbar;
};

// The structure factors of a real crystal: xraylib's atom positions for the material in a cubic
// cell of lattice constant a (Angstrom) instead of xraylib's own, so that the form factors are
// taken at sin theta / lambda = 1 / 2d of that cell. Fails for a material whose cell is not cubic,
// and where structureFactor fails. Safe to call from several threads.
Result<StructureFactors> realStructureFactors(const QString &material,
                                              double latticeConstant,
                                              double energyEv,
                                              int h,
                                              int k,
                                              int l,
                                              double debyeFactor);

} // namespace XrayData
