// The entry operations through the window against slapd: the Delete key
// works in the tree and nowhere else, and a drag from one node onto another
// goes through Qt's drag and drop, refused on the dragged node and its
// parent. (The offscreen platform ends a QDrag at once, so the test hands
// the tree the drag's events itself, as the platform would.)
#include "tests/shell/SessionFixture.h"

#include "shell/DirectoryTreeModel.h"

#include <QDragMoveEvent>
#include <QMimeData>

#include <memory>

namespace {

using Box = FakeDesktop::Box;
using Boxes = std::vector<Box>;

class EntryOperations : public SessionFixture<EntryOperations> {
protected:
    void loginAsAdmin() { login(SlapdServer::adminDn(), SlapdServer::adminPassword()); }
    QModelIndex root() { return tree().model()->index(0, 0); }

    // The drag's events at the node, with what a drag of `dragged` carries;
    // whether the tree took it.
    bool dragOver(const QModelIndex& dragged, const QModelIndex& at, bool drop = false)
    {
        std::unique_ptr<QMimeData> data(tree().model()->mimeData({ dragged }));
        const QPoint point = tree().visualRect(at).center();
        QDragEnterEvent enter(point, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(tree().viewport(), &enter);
        QDragMoveEvent move(point, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(tree().viewport(), &move);
        if (!drop || !move.isAccepted())
            return move.isAccepted();
        QDropEvent dropped(point, Qt::MoveAction, data.get(), Qt::NoButton, {});
        QApplication::sendEvent(tree().viewport(), &dropped);
        settle();
        return dropped.isAccepted();
    }
};

TEST_F(EntryOperations, TheDeleteKeyDeletesOnlyInTheTree)
{
    loginAsAdmin();
    openAlice();
    QTest::keyClick(&list(), Qt::Key_Delete);
    QTest::keyClick(frame.get(), Qt::Key_Delete);
    settle();
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().text;

    boxes.answer(MessageAnswer::No);
    QTest::keyClick(&tree(), Qt::Key_Delete);
    settle();
    EXPECT_EQ(
        boxes.boxes, (Boxes { { "Delete Selected Object", "Delete", MessageIcon::Question, MessageButtons::YesNo } }));
    EXPECT_EQ(server().ldapsearchValues("uid=alice,ou=People," + std::string(SlapdServer::suffix()), "uid"),
        std::vector<std::string> { "alice" });
}

TEST_F(EntryOperations, ADragMovesAnEntryAndIsRefusedOnItsParent)
{
    loginAsAdmin();
    const QModelIndex people = node(root(), "ou=People");
    doubleClick(people);
    const QPersistentModelIndex carol = node(people, "uid=carol");
    const QModelIndex groups = node(root(), "ou=Groups");

    // The root may not be dragged: the mouse starts the drag, the core says why not.
    click(root());
    const QPoint from = tree().visualRect(root()).center();
    QTest::mousePress(tree().viewport(), Qt::LeftButton, {}, from);
    // The first move with the button down makes the view ready to drag, the next one past the distance drags.
    for (int step : { 1, QApplication::startDragDistance() + 5 }) {
        const QPoint to = from + QPoint(step, 0);
        QMouseEvent moved(QEvent::MouseMove, to, tree().viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(tree().viewport(), &moved);
    }
    QTest::mouseRelease(tree().viewport(), Qt::LeftButton, {}, from);
    settle();
    EXPECT_EQ(boxes.boxes,
        (Boxes { { "Select leaf Object to be dragged", "Error", MessageIcon::Error, MessageButtons::Ok } }));

    click(carol);
    EXPECT_FALSE(dragOver(carol, carol)) << "onto itself";
    EXPECT_FALSE(dragOver(carol, people)) << "onto its parent";
    EXPECT_TRUE(dragOver(carol, groups, true));
    const std::string suffix = SlapdServer::suffix();
    EXPECT_EQ(server().ldapsearchValues("uid=carol,ou=Groups," + suffix, "uid"), std::vector<std::string> { "carol" });
    EXPECT_FALSE(carol.isValid()) << "gone from People";
    EXPECT_TRUE(node(groups, "uid=carol").isValid());
    EXPECT_EQ(tree().currentIndex(), node(groups, "uid=carol"));
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

} // namespace
