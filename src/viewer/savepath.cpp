#include "savepath.h"

#include "datetimetext.h"
#include "savename.h"

#include <QFile>

QString SavePath(const QString& camFolder, const QByteArray& camName, const QDateTime& moment) {
    const std::string name = SaveFileName(camName.toStdString(),
                                          shortDateText(moment.date()).toLocal8Bit().toStdString(),
                                          longTimeText(moment.time()).toLocal8Bit().toStdString());
    return camFolder + "/" + QFile::decodeName(QByteArray::fromStdString(name));
}
