// Design files: the save and load dialogs, saving and loading through the document.
#include "body.h"
#include "filenames.h"
#include "notices.h"

#include <QDebug>
#include <QDir>
#include <QSignalBlocker>

void Body::setUpFileDialogs()
{
    for (QFileDialog *dialog : {&saveDialog, &loadDialog}) {
        dialog->setDirectory(lastFolder());
        connect(dialog, &QFileDialog::fileSelected, this, &Body::rememberFolder);
        dialog->setNameFilters(
            {QStringLiteral("Configuration File (*.cfg)"), QStringLiteral("Any File (* *.*)")});
    }
    saveDialog.setAcceptMode(QFileDialog::AcceptSave);
    loadDialog.setAcceptMode(QFileDialog::AcceptOpen);

    connect(Save, SIGNAL(clicked()), &saveDialog, SLOT(show()));
    connect(&saveDialog, SIGNAL(fileSelected(const QString &)), this, SLOT(save(QString)));
    connect(Load, SIGNAL(clicked()), &loadDialog, SLOT(show()));
    connect(&loadDialog, SIGNAL(fileSelected(const QString &)), this, SLOT(load(QString)));
}

void Body::openAtStart(const QString &file)
{
    QMetaObject::invokeMethod(this, "load", Qt::QueuedConnection, Q_ARG(QString, file));
}

void Body::save(QString fname)
{
    writeDesign(fname);
}

bool Body::writeDesign(const QString &fname)
{
    // A comment typed and not yet finished is part of what the user sees and saves.
    if (Comment->text() != doc.design().comment)
        doc.setComment(Comment->text());
    QString why;
    if (!doc.save(fname, &why)) {
        qDebug() << "Can't open" << fname << "to save.";
        tellUser(this, tr("Nothing was saved: \"%1\" cannot be written.").arg(fname));
        return false;
    }
    rememberRecentFile(doc.currentFile());
    updateTitle();
    return true;
}

void Body::load(QString fname)
{
    const ReadResult r = doc.load(fname);
    switch (r.status) {
    case ReadResult::CannotRead:
        qDebug() << "Can't open" << fname << "to load.";
        tellUser(this, tr("Nothing was loaded: \"%1\" cannot be read.").arg(fname));
        return;
    case ReadResult::NoDesign:
        tellUserOnce(
            noDesignBox,
            tr("Nothing was loaded: \"%1\" holds no design.").arg(QDir::toNativeSeparators(fname)));
        return;
    case ReadResult::Read:
        break;
    }
    {
        // The comment field shows the file's comment: not an edit of the user's.
        const QSignalBlocker quiet(Comment);
        Comment->setText(doc.design().comment);
    }
    rememberRecentFile(doc.currentFile());
    updateTitle();
}
