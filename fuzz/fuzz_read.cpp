// Arbitrary bytes as a design file read by the design document alone, without a window: read as a
// load reads it (with what it did not understand noted), reported, saved again, undone. Every
// input starts from a fresh document, so a finding reproduces by itself (fuzz_read FILE).
#include "designdocument.h"
#include "report.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    DesignDocument doc;
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const ReadResult r = doc.read(DesignFile::decode(bytes));
    DesignFile::describe(r.notes);
    designReport(doc, QString());
    doc.read(doc.text());
    doc.undoStack().undo();
    doc.undoStack().undo();
    return 0;
}
