#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

// The catalogue as built for shipping (data.db from catalogue/data.sql), read
// directly on a read-only connection of its own.
namespace Shipped {

struct AddRow
{
    int id = 0;
    QString caption, icon, openTitle, openFilter;
};

struct FormatRow
{
    int id = 0;
    QString caption, icon;
    bool device = false;
    int count = 0, defaultPos = 0;
};

struct PresetRow
{
    int id = 0;
    QString caption;
    int format = 0;
    QString icon, extension;
    int count = 0, defaultPos = 0;
    QString args;

    QStringList tokens() const { return args.split(' '); }
    // "-vn" first: an audio preset.
    bool audioOnly() const { return tokens().first() == "-vn"; }
    // "-aspect" anywhere: the frame is exact, never fitted.
    bool exactFrame() const { return args.contains("-aspect"); }
    // The frame the output must fit in (fitted presets) or match (exact ones);
    // invalid for audio presets.
    QSize box() const;
    // The value after the first `option` token, empty when there is none.
    QString option(const QString &option) const;
};

// Every row in table order; the test fails on an unreadable catalogue.
QList<AddRow> addRows();
QList<FormatRow> formatRows();
QList<PresetRow> presetRows();

QList<PresetRow> presetsOf(int formatId);
QString formatCaption(int formatId);

// "1920x1080" -> 1920 x 1080; invalid unless both sides are positive numbers.
QSize parseSize(const QString &text);

} // namespace Shipped
