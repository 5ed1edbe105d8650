#pragma once

#include "bandanalysis.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The Bands window's table for other programs: CSV by RFC 4180 as the crystal table writes it
// (comma separated, CRLF after every record, UTF-8 without a byte order mark, "." as decimal
// point), a header row and one row per crystal in list order:
//   no,energy_eV,state,reflects,fwhm_sigma_urad,fwhm_pi_urad,low_eV,high_eV,gap_above_eV,
//   refraction_shift_eV,lattice_offset_eV,peak_reflectivity_sigma,peak_reflectivity_pi,
//   integrated_reflectivity_sigma_urad,integrated_reflectivity_pi_urad,effective_band_low_eV,
//   effective_band_high_eV,effective_centre_eV,peak_efficiency,band_photons_eV,
//   effective_gap_above_eV
// state is band, no reflection, forbidden or no data; reflects 1 or 0. Band edges are about the
// crystals' labels as the analysis gives them. Every number is the shortest text that reads back
// as the same double; a field the crystal does not have is empty.
QByteArray bandsTableCsv(const BandsAnalysis &analysis);

QList<QByteArray> bandsTableColumns();

// Writes the table through QSaveFile: the whole table or the previous file untouched. On failure
// returns false with the reason in *error.
bool writeBandsTable(const QString &path, const BandsAnalysis &analysis, QString *error = nullptr);

// The name the table is offered under: the design file's name with "-bands.csv" in its folder, or
// "bands.csv" without a design file.
QString suggestedBandsTableName(const QString &designFile);
