#pragma once

// The symbology pop-up lists of the barcode designer and the factory of linear barcode objects.
//
// Stored designs keep `barcode_font_index`, the index of the chosen entry, so the order of both lists is
// part of the file format: never reorder or remove an entry, only append.
//
// Linear pop-up (linear_or_2d 0):
//   0 "Code 39"               5 "Modified Plessey"         10 "Code 128 SET A"  15 "EAN-8"
//   1 "Extended Code 39"      6 "Modified Plessey (Hex)"   11 "Code 128 SET B"  16 "Royal Mail Barcode
//   (RM4SCC / CBC)" 2 "Interleaved 2 of 5"    7 "Industrial 2 of 5"        12 "Code 128 SET C"  17 "Planet"
//   3 "UPCA"                  8 "EAN-13"                   13 "Codabar"         18 "Japan Post Barcode"
//   4 "PostNet"               9 "Code 128"                 14 "UPCE"
// 2-D pop-up (linear_or_2d 1):
//   0 "QR Code"   1 "PDF417"   2 "DataMatrix"

#include "barcode/NKDBarcode.h"

#include <QStringList>

#include <memory>

namespace BarcodeSymbologies {

enum Linear {
    Code39 = 0,
    ExtendedCode39,
    Interleaved2of5,
    UPCA,
    PostNet,
    ModifiedPlessey,
    ModifiedPlesseyHex,
    Industrial2of5,
    EAN13,
    Code128,
    Code128A,
    Code128B,
    Code128C,
    Codabar,
    UPCE,
    EAN8,
    RoyalMail,
    Planet,
    JapanPost,
    LinearCount
};

enum TwoD { QRCode = 0, PDF417, DataMatrix, TwoDCount };

// Titles of the linear pop-up, in pop-up order.
const QStringList& linearTitles();
// Titles of the 2-D pop-up, in pop-up order.
const QStringList& twoDTitles();
// The pop-up index of a title, -1 when unknown.
int linearIndexOf(const QString& title);

// A new, uninitialised barcode object for the linear pop-up index (a Code 128 entry already carries its
// code set); nullptr for an index outside the list.
std::unique_ptr<NKDBarcode> createLinearBarcode(int index);

// True for the EAN and UPC entries (their value text is grouped and never spread).
bool isUpcEan(int index);

} // namespace BarcodeSymbologies
