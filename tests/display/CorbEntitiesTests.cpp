// The entity registry as a table: operations on a registry R (and a second one, S), and what the
// queries answered and the registries hold after them.
#include <algorithm>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "display/CorbEntities.h"
#include "support/ComStub.h"

namespace {

// Operations: add E I P D, remove I, clear; transfer I, copy E (to S), assign (S = R), self (R = R);
// queries, answered in order: entity I, find E P D, has E, items E, at N, count, refs E. Entities
// are L, M, H in ascending address order; items are numbers, parent 0 is TVI_ROOT. Expected:
// "answers | R's records (item and entity, in the order made) | S's records | references".
struct RegistryRow {
    const char *operations, *expected;
};

const RegistryRow kRows[] = {
    // An item has one record: the last entity wins and the replaced one is released.
    {"add L 1 0 0, add M 1 0 0, entity 1, has L, entity 9", "M n - | 1M | | L0 M1 H0"},
    // An entity's items by place, (parent, item data) ascending, a reference per record; the entity
    // goes with its last item; a removed item is ignored.
    {"add L 5 3 0, add L 4 2 0, add L 6 2 1, items L, find L 2 1, find L 2 2, find M 2 1, refs L, remove 4, has L, "
     "remove 5, remove 6, remove 6, has L, count, refs L",
     "4,6,5 6 - - 3 y n 0 0 | | | L0 M0 H0"},
    // The positional walk in pointer order, stepping back and forth; an Add restarts it; an index
    // outside leaves it usable.
    {"add H 1 0 0, add L 2 0 0, add M 3 0 0, add M 4 0 1, count, at 0, at 1, at 2, at 1, add L 5 1 0, at 2, at 3, "
     "at -1, at 1",
     "3 L M H M H - - M | 1H 2L 3M 4M 5L | | L2 M2 H1"},
    {"add M 1 0 0, clear, at 0, count", "- 0 | | | L0 M0 H0"},
    // Transfer moves a record (an unknown item is ignored); copy leaves the source as it was.
    {"add M 1 0 0, add L 2 1 0, add L 3 1 1, transfer 9, transfer 2, find L 1 0, copy L",
     "- | 1M 3L | 2L 3L | L3 M1 H0"},
    // Assign replaces what was there and keeps the order of the records; assigning to itself is nothing.
    {"add H 9 0 0, transfer 9, add M 1 0 0, add L 2 1 0, add H 7 0 0, assign, self",
     "| 1M 2L 7H | 1M 2L 7H | L2 M2 H2"},
    // A later record at the same place hides the earlier one from the entity's index; removing either
    // removes the place.
    {"add L 1 0 0, add L 2 0 0, find L 0 0, entity 1, remove 1, find L 0 0, entity 2", "2 L - L | 2L | | L1 M0 H0"},
};

HTREEITEM ItemOf(long n) { return n ? reinterpret_cast<HTREEITEM>(static_cast<std::uintptr_t>(n) * 16) : TVI_ROOT; }
std::string NumberOf(HTREEITEM item) { return item ? std::to_string(reinterpret_cast<std::uintptr_t>(item) / 16) : "-"; }

TEST(CorbEntities, Table)
{
    for (const RegistryRow& row : kRows) {
        SCOPED_TRACE(row.operations);
        teststub::ComStub<IUnknown> entities[3];
        IUnknown* const known[] = {entities[0].Unknown(), entities[1].Unknown(), entities[2].Unknown()};
        auto stub = [&](const std::string& letter) -> auto& { return entities[std::string("LMH").find(letter)]; };
        auto entity = [&](const std::string& letter) { return stub(letter).Unknown(); };
        auto letter = [&](IUnknown* e) { return std::string(1, "LMH-"[std::find(known, known + 3, e) - known]); };
        {
            CCorbEntities r, s;
            auto records = [&](const CCorbEntities& registry) {
                std::string text;
                for (HTREEITEM item : registry.GetAllItems())
                    text += NumberOf(item) + letter(registry.GetEntity(item).Get()) + " ";
                return text;
            };
            std::string answers;
            std::istringstream operations(row.operations);
            for (std::string operation; std::getline(operations, operation, ',');) {
                std::istringstream in(operation);
                std::string verb, e, answer;
                long a = 0, b = 0, c = 0;
                in >> verb;
                if (verb == "add" && in >> e >> a >> b >> c)
                    r.Add(entity(e), ItemOf(a), ItemOf(b), static_cast<DWORD_PTR>(c));
                else if (verb == "remove" && in >> a)
                    r.Remove(ItemOf(a));
                else if (verb == "clear")
                    r.Clear();
                else if (verb == "transfer" && in >> a)
                    r.TransferItem(s, ItemOf(a));
                else if (verb == "copy" && in >> e)
                    r.CopyEntityEntries(s, entity(e));
                else if (verb == "assign" || verb == "self")
                    (verb == "assign" ? s : r).Assign(r);
                else if (verb == "entity" && in >> a)
                    answer = letter(r.GetEntity(ItemOf(a)).Get());
                else if (verb == "find" && in >> e >> a >> b)
                    answer = NumberOf(r.FindItem(entity(e), ItemOf(a), static_cast<DWORD_PTR>(b)));
                else if (verb == "has" && in >> e)
                    answer = r.ContainsEntity(entity(e)) ? "y" : "n";
                else if (verb == "items" && in >> e) {
                    for (HTREEITEM item : r.GetEntityItems(entity(e)))
                        answer += (answer.empty() ? "" : ",") + NumberOf(item);
                } else if (verb == "at" && in >> a)
                    answer = letter(r.GetEntityAt(static_cast<int>(a)).Get());
                else if (verb == "count")
                    answer = std::to_string(r.GetEntityCount());
                else if (verb == "refs" && in >> e)
                    answer = std::to_string(stub(e).references - 1);
                else
                    ADD_FAILURE() << "unknown operation: " << operation;
                answers += answer.empty() ? "" : answer + " ";
            }
            answers += "| " + records(r) + "| " + records(s) + "|";
            for (int i = 0; i < 3; ++i)
                answers += std::string(" ") + "LMH"[i] + std::to_string(entities[i].references - 1);
            EXPECT_EQ(answers, row.expected);
        }
        for (const auto& left : entities)
            EXPECT_EQ(left.references, 1u) << "destroying a registry releases every reference";
    }
}

} // namespace
