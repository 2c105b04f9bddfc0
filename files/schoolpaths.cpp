#include "files/schoolpaths.h"

QString schoolfiles::chartBitmap(int number)
{
    return QStringLiteral("wykr_%1.bmp").arg(number);
}

QString SchoolPaths::file(QStringView name) const
{
    return root + u'/' + name.toString();
}

QString SchoolPaths::classFolder(int classIndex) const
{
    return file(classLabels.value(classIndex));
}

QString SchoolPaths::classFile(int classIndex, QStringView name) const
{
    return classFolder(classIndex) + u'/' + name.toString();
}

QString SchoolPaths::schoolFolder() const
{
    return file(schoolfiles::schoolFolder);
}

QString SchoolPaths::schoolFile(QStringView name) const
{
    return schoolFolder() + u'/' + name.toString();
}
