#include "barcode/BarcodeSymbologies.h"

#include "barcode/JapanPostBarcode.h"
#include "barcode/NKDCodabarBarcode.h"
#include "barcode/NKDCode128Barcode.h"
#include "barcode/NKDEAN8Barcode.h"
#include "barcode/NKDExtendedCode39Barcode.h"
#include "barcode/NKDIndustrialTwoOfFiveBarcode.h"
#include "barcode/NKDModifiedPlesseyHexBarcode.h"
#include "barcode/NKDPlanetBarcode.h"
#include "barcode/NKDRoyalMailBarcode.h"
#include "barcode/NKDUPCEBarcode.h"

namespace BarcodeSymbologies {

const QStringList& linearTitles() {
    static const QStringList titles = {
        QStringLiteral("Code 39"),
        QStringLiteral("Extended Code 39"),
        QStringLiteral("Interleaved 2 of 5"),
        QStringLiteral("UPCA"),
        QStringLiteral("PostNet"),
        QStringLiteral("Modified Plessey"),
        QStringLiteral("Modified Plessey (Hex)"),
        QStringLiteral("Industrial 2 of 5"),
        QStringLiteral("EAN-13"),
        QStringLiteral("Code 128"),
        QStringLiteral("Code 128 SET A"),
        QStringLiteral("Code 128 SET B"),
        QStringLiteral("Code 128 SET C"),
        QStringLiteral("Codabar"),
        QStringLiteral("UPCE"),
        QStringLiteral("EAN-8"),
        QStringLiteral("Royal Mail Barcode (RM4SCC / CBC)"),
        QStringLiteral("Planet"),
        QStringLiteral("Japan Post Barcode"),
    };
    return titles;
}

const QStringList& twoDTitles() {
    static const QStringList titles = {QStringLiteral("QR Code"), QStringLiteral("PDF417"),
                                       QStringLiteral("DataMatrix")};
    return titles;
}

int linearIndexOf(const QString& title) {
    return int(linearTitles().indexOf(title));
}

bool isUpcEan(int index) {
    return index == UPCA || index == UPCE || index == EAN13 || index == EAN8;
}

std::unique_ptr<NKDBarcode> createLinearBarcode(int index) {
    const auto code128 = [](int set) {
        auto b = std::make_unique<NKDCode128Barcode>();
        b->setCodeSet(set);
        return b;
    };
    switch (index) {
    case Code39:
        return std::make_unique<NKDCode39Barcode>();
    case ExtendedCode39:
        return std::make_unique<NKDExtendedCode39Barcode>();
    case Interleaved2of5:
        return std::make_unique<NKDInterleavedTwoOfFiveBarcode>();
    case UPCA:
        return std::make_unique<NKDUPCABarcode>();
    case PostNet:
        return std::make_unique<NKDPostnetBarcode>();
    case ModifiedPlessey:
        return std::make_unique<NKDModifiedPlesseyBarcode>();
    case ModifiedPlesseyHex:
        return std::make_unique<NKDModifiedPlesseyHexBarcode>();
    case Industrial2of5:
        return std::make_unique<NKDIndustrialTwoOfFiveBarcode>();
    case EAN13:
        return std::make_unique<NKDEAN13Barcode>();
    case Code128:
        return code128(3);
    case Code128A:
        return code128(0);
    case Code128B:
        return code128(1);
    case Code128C:
        return code128(2);
    case Codabar:
        return std::make_unique<NKDCodabarBarcode>();
    case UPCE:
        return std::make_unique<NKDUPCEBarcode>();
    case EAN8:
        return std::make_unique<NKDEAN8Barcode>();
    case RoyalMail:
        return std::make_unique<NKDRoyalMailBarcode>();
    case Planet:
        return std::make_unique<NKDPlanetBarcode>();
    case JapanPost:
        return std::make_unique<JapanPostBarcode>();
    default:
        return nullptr;
    }
}

} // namespace BarcodeSymbologies
