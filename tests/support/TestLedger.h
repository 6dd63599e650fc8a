#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

// A real ledger data file in a temporary folder, with raw SQLite access that
// bypasses the engine layer, so that tests can set up and check the file itself.
class TestLedger
{
public:
    explicit TestLedger(bool withCategories = false, const QString &fileName = QStringLiteral("Tavokel.257"));

    QString path() const { return m_path; }
    QString dir() const { return m_dir.path(); }
    QString connectionString() const;

    void exec(const QString &sql) const;
    QVariant scalar(const QString &sql) const;
    QList<QVariantList> rows(const QString &sql) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};
