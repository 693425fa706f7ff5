#include "services/RemoteResource.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <optional>

#include "support/LocalHttpServer.h"
#include "support/WaitFor.h"

namespace qz {
namespace {

using test::LocalHttpServer;
using Failure = RemoteResource::Failure;

std::optional<RemoteResource::Result> fetch(const QUrl& url) {
    std::optional<RemoteResource::Result> answer;
    QObject context;
    RemoteResource::get(url, &context, [&](const RemoteResource::Result& result) {
        EXPECT_EQ(QThread::currentThread(), context.thread()) << "answer on the wrong thread";
        answer = result;
    });
    test::waitFor([&] { return answer.has_value(); });
    return answer;
}

// A 404 and the blocking fetch: see the update face and the command line's update check.
TEST(RemoteResource, AnswersEachServedCase) {
    constexpr qint64 cap = RemoteResource::kMaxBytes;
    const struct {
        const char* name;
        LocalHttpServer::Answer answer;
        Failure failure;
        int status;
        qint64 bodySize;  // of a successful answer
    } cases[] = {
        {"ok", {200, "hello", true, false}, Failure::None, 200, 5},
        {"broken", {500, "oops", true, false}, Failure::HttpStatus, 500, 0},
        {"at-cap", {200, QByteArray(cap, 'a'), false, false}, Failure::None, 200, cap},
        {"over-cap", {200, QByteArray(cap + 1, 'a'), false, false}, Failure::TooLarge, 200, 0},
        {"declared-5MiB", {200, QByteArray(5 * cap, 'a'), true, false}, Failure::TooLarge, 200, 0},
        {"silent", {200, "", true, true}, Failure::TimedOut, 0, 0},
    };
    LocalHttpServer server;
    ASSERT_TRUE(server.isListening());
    for (const auto& c : cases) {
        server.serve(QStringLiteral("/") + QLatin1String(c.name), c.answer);
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Only the silent server waits out the time-out, scaled from 10 s to 0.2 s.
        std::optional<test::ScopedTimeScale> scale;
        if (c.answer.silent) {
            scale.emplace(0.02);
        }
        const auto result = fetch(server.url(QStringLiteral("/") + QLatin1String(c.name)));
        ASSERT_TRUE(result.has_value()) << "no answer at all";
        EXPECT_EQ(result->failure, c.failure) << result->error.toStdString();
        if (c.failure != Failure::TimedOut) {
            EXPECT_EQ(result->httpStatus, c.status);
        }
        EXPECT_EQ(result->body.size(), c.bodySize);
        if (c.bodySize > 0) {
            EXPECT_EQ(result->body, c.answer.body);
        }
    }
}

// The time-out covers the whole exchange: header lines without end do not keep a fetch open.
TEST(RemoteResource, EndlessHeaderLinesEndAtTheTimeOut) {
    LocalHttpServer server;
    server.serve(QStringLiteral("/endless"), {200, "", true, false, true});
    const test::ScopedTimeScale fast(0.02);  // 10 s become 0.2 s
    QElapsedTimer elapsed;
    elapsed.start();
    const auto result = fetch(server.url(QStringLiteral("/endless")));
    ASSERT_TRUE(result.has_value()) << "no answer at all";
    EXPECT_EQ(result->failure, Failure::TimedOut) << result->error.toStdString();
    EXPECT_LT(elapsed.elapsed(), 1000);
}

TEST(RemoteResource, FailsWithoutServerOrWebAddress) {
    quint16 closedPort = 0;
    {
        LocalHttpServer gone;
        closedPort = quint16(gone.url().port());
    }
    LocalHttpServer server;
    server.serve(QStringLiteral("/ok"), {200, "fine", true, false});
    QTemporaryDir folder;
    QFile notALibrary(folder.filePath(QStringLiteral("text.so")));
    ASSERT_TRUE(notALibrary.open(QIODevice::WriteOnly) && notALibrary.write("text") == 4);
    notALibrary.close();
    const QString served = server.url(QStringLiteral("/ok")).toString();
    const struct {
        QString url;
        QString module;  // the network module's file, when not the one built
        Failure failure;
        const char* reason;
    } cases[] = {
        {QStringLiteral("http://127.0.0.1:%1/list").arg(closedPort), {}, Failure::Network, ""},
        {QStringLiteral("file:///etc/hostname"), {}, Failure::BadUrl, "not an http"},
        {QString(), {}, Failure::BadUrl, "not an http"},
        {served, folder.filePath(QStringLiteral("none.so")), Failure::Network, "not installed"},
        {served, notALibrary.fileName(), Failure::Network, "cannot be loaded"},
    };
    const QByteArray built = qgetenv("QUENZEL_NETWORK_MODULE");
    for (const auto& c : cases) {
        SCOPED_TRACE((c.url + u' ' + c.module).toStdString());
        qputenv("QUENZEL_NETWORK_MODULE", c.module.isEmpty() ? built : c.module.toLocal8Bit());
        const auto result = fetch(QUrl(c.url));
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(result->failure, c.failure);
        EXPECT_THAT(result->error.toStdString(), testing::HasSubstr(c.reason));
    }
    qputenv("QUENZEL_NETWORK_MODULE", built);
    EXPECT_EQ(server.requests(QStringLiteral("/ok")), 0) << "fetched without the module";
}

// The window holds fetches until its first frame; held ones start when the hold ends.
TEST(RemoteResource, AHeldFetchStartsWhenTheHoldEnds) {
    LocalHttpServer server;
    server.serve(QStringLiteral("/ok"), {200, "fine", true, false});
    std::optional<RemoteResource::Result> answer;
    QObject context;
    RemoteResource::holdFetches(true);
    RemoteResource::get(server.url(QStringLiteral("/ok")), &context,
                        [&](const RemoteResource::Result& result) { answer = result; });
    test::waitFor([] { return false; }, 300);
    EXPECT_EQ(server.requests(QStringLiteral("/ok")), 0);
    EXPECT_FALSE(answer.has_value());
    RemoteResource::holdFetches(false);
    ASSERT_TRUE(test::waitFor([&] { return answer.has_value(); }));
    EXPECT_TRUE(answer->ok()) << answer->error.toStdString();
    EXPECT_EQ(server.requests(QStringLiteral("/ok")), 1);
}

TEST(RemoteResource, DropsTheAnswerWhenTheReceiverIsGone) {
    LocalHttpServer server;
    server.serve(QStringLiteral("/slow"), {200, "", true, true});
    server.serve(QStringLiteral("/ok"), {200, "fine", true, false});
    int calls = 0;
    auto* receiver = new QObject;
    {
        const test::ScopedTimeScale fast(0.02);  // this fetch gives up after 0.2 s
        RemoteResource::get(server.url(QStringLiteral("/slow")), receiver,
                            [&](const RemoteResource::Result&) { ++calls; });
    }
    ASSERT_TRUE(test::waitFor([&] { return server.requests(QStringLiteral("/slow")) == 1; }));
    delete receiver;
    test::waitFor([] { return false; }, 400);  // past the scaled time-out of the first fetch
    EXPECT_TRUE(fetch(server.url(QStringLiteral("/ok")))->ok());
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace qz
