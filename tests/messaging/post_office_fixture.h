// The shipped post office as the "PostOffice" folder, with users "admin" (System Administrator)
// and "mary" (Mary O'Neil); status texts and opened documents are recorded, not shown.
#pragma once

#include "common/data/shipped_fixture.h"
#include "core/convert.h"
#include "core/format.h"
#include "core/settings_keys.h"
#include "data/app_state.h"
#include "engine/engine.h"
#include "messaging/msg_client.h"

#include <QFile>
#include <QStringList>
#include <vector>

namespace tvtest {

class PostOfficeTest : public ShippedDatabasesTest {
protected:
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        execData({"INSERT INTO [System Users] (USERID, USERNAME) VALUES ('mary', 'Mary O''Neil')"});
        tv::SaveSetting(tv::keys::PostOffice, data.path());
        tv::data::state().CurrentUserId = "admin";
        ask.setNow(tv::DateFromParts(2026, 3, 10, 9, 30, 0));
        tv::messaging::setStatusReporter([this](int n) { statuses.push_back(n); });
        tv::messaging::setDocumentOpener([this](const QString& path) {
            opened << path;
            return true;
        });
    }
    void TearDown() override {
        tv::messaging::setStatusReporter({});
        tv::messaging::setDocumentOpener({});
        ShippedDatabasesTest::TearDown();
    }

    QString postOffice() const { return data.file("Messages.mdb"); }
    // The post office's Temp folder: beside Messages.mdb, or in the site's files folder (the
    // scratch folder) when the post office is on a server.
    QString tempFolder() const { return data.folder().path() + "/Temp"; }
    QString tempFile(const QString& name) const { return tempFolder() + u'/' + name; }

    // Signs in as `from` and delivers to `to`; the number of the new message, 0 on failure.
    int deliver(const QString& from, const QString& to, const QString& customer,
                const QString& subject, const QStringList& files = {}) {
        tv::data::state().CurrentUserId = from;
        tv::data::state().SharedValues[0] = to;
        if (!tv::messaging::DeliverLocal(customer, subject, "<p>Body</p>", files)) return 0;
        return rows("SELECT MAX(MSGNO) FROM INBOX").value(0).toInt();
    }

    // Rows of a post-office query, columns joined by "|", through a handle closed again.
    QStringList rows(const QString& sql) const {
        tv::engine::Database db = tv::engine::Engine::instance().OpenDatabase(postOffice());
        return joinedRows(db, sql);
    }

    // A small file with the given text, in a folder apart from the post office.
    QString makeFile(const QString& name, const QByteArray& text = "contents") {
        QFile f(files.file(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return f.fileName();
    }

    QStringList inboxOf(const QString& user, bool showAll = false) {
        tv::data::state().CurrentUserId = user;
        tv::data::StringListSink list;
        EXPECT_TRUE(tv::messaging::ListInbox(list, &headings, showAll));
        return list.items;
    }

    ScratchFolder files;
    QString headings;
    std::vector<int> statuses;
    QStringList opened;
};

}  // namespace tvtest
