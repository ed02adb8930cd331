#include "forms/framework/list_export.h"

#include "data/failure.h"
#include "forms/framework/delimited_line.h"

#include <QFile>

namespace tv::forms {

std::optional<QString> ExportList(const QString& path, const std::vector<ListColumn>& columns,
                                  engine::Recordset& rows) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return file.errorString();

    bool written = true;
    auto write = [&](const std::vector<tv::Variant>& items) {
        if (written) written = file.write(WriteDelimitedLine(items).toUtf8()) >= 0;
    };

    std::vector<tv::Variant> items;
    for (const ListColumn& column : columns) items.emplace_back(column.caption);
    write(items);

    std::optional<data::Failure> failed;
    if (rows.IsOpen()) {
        failed = data::attempt([&] {
            if (rows.RecordCount() == 0) return;
            const int fields = rows.FieldCount();
            for (rows.MoveFirst(); written && !rows.EOF_(); rows.MoveNext()) {
                items.clear();
                for (const ListColumn& column : columns)
                    items.push_back(column.field < fields ? rows[column.field] : tv::Variant());
                write(items);
            }
        });
    }
    if (!written) {
        const QString error = file.errorString();
        file.close();
        return error;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) return file.errorString();
    if (failed) return failed->text;
    return std::nullopt;
}

}  // namespace tv::forms
