// The entity registry as a table: operations on a registry R (and a second one, S), and what the
// queries answered and the registries hold after them.
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "display/CorbEntities.h"
#include "support/ComStub.h"

namespace {

using Entity = teststub::ComStub<IUnknown>;

// Operations, separated by commas. Entities are L, M and H, in ascending address order; items and
// parents are numbers (parent 0 is TVI_ROOT).
//   add E I P D, remove I, clear          on R
//   transfer I, copy E, assign, self      R's item to S, R's entity to S, S = R, R = R
//   entity I, find E P D, has E, items E, at N, count    queries on R, answered in order
// Expected: "answers | R's records (item and entity, in the order made) | S's records | references".
struct RegistryRow {
    const char* operations;
    const char* expected;
};

const RegistryRow kRows[] = {
    // An item has one record: the last entity wins and the replaced one is released.
    {"add L 1 0 0, add M 1 0 0, entity 1, has L, entity 9", "M n - | 1M | | L0 M1 H0"},
    // An entity's items by place, (parent, item data) ascending; a reference per record.
    {"add L 5 3 0, add L 4 2 0, add L 6 2 1, items L, find L 2 1, find L 2 2, find M 2 1",
     "4,6,5 6 - - | 5L 4L 6L | | L3 M0 H0"},
    // The entity goes with its last item; a removed item is ignored.
    {"add L 5 3 0, add L 4 2 0, remove 4, has L, remove 5, remove 5, has L, count", "y n 0 | | | L0 M0 H0"},
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

HTREEITEM ItemOf(long n) { return n == 0 ? TVI_ROOT : reinterpret_cast<HTREEITEM>(static_cast<std::uintptr_t>(n) * 16); }
std::string NumberOf(HTREEITEM item) { return item ? std::to_string(reinterpret_cast<std::uintptr_t>(item) / 16) : "-"; }

class Registry {
public:
    explicit Registry(Entity* entities) : m_entities(entities) {}

    std::string Apply(const std::string& operations)
    {
        std::string answers;
        std::istringstream list(operations);
        for (std::string operation; std::getline(list, operation, ',');) {
            std::istringstream words(operation);
            std::string verb, e;
            long a = 0, b = 0, c = 0;
            words >> verb;
            std::string answer;
            if (verb == "add" && words >> e >> a >> b >> c)
                r.Add(EntityOf(e), ItemOf(a), ItemOf(b), static_cast<DWORD_PTR>(c));
            else if (verb == "remove" && words >> a)
                r.Remove(ItemOf(a));
            else if (verb == "clear")
                r.Clear();
            else if (verb == "transfer" && words >> a)
                r.TransferItem(s, ItemOf(a));
            else if (verb == "copy" && words >> e)
                r.CopyEntityEntries(s, EntityOf(e));
            else if (verb == "assign" || verb == "self")
                (verb == "assign" ? s : r).Assign(r);
            else if (verb == "entity" && words >> a)
                answer = LetterOf(r.GetEntity(ItemOf(a)).Get());
            else if (verb == "find" && words >> e >> a >> b)
                answer = NumberOf(r.FindItem(EntityOf(e), ItemOf(a), static_cast<DWORD_PTR>(b)));
            else if (verb == "has" && words >> e)
                answer = r.ContainsEntity(EntityOf(e)) ? "y" : "n";
            else if (verb == "items" && words >> e)
                for (HTREEITEM item : r.GetEntityItems(EntityOf(e)))
                    answer += (answer.empty() ? "" : ",") + NumberOf(item);
            else if (verb == "at" && words >> a)
                answer = LetterOf(r.GetEntityAt(static_cast<int>(a)).Get());
            else if (verb == "count")
                answer = std::to_string(r.GetEntityCount());
            else
                ADD_FAILURE() << "unknown operation: " << operation;
            if (!answer.empty())
                answers += answer + " ";
        }
        return answers + "| " + Records(r) + "| " + Records(s) + "|" + References();
    }

private:
    IUnknown* EntityOf(const std::string& letter) { return m_entities[std::string("LMH").find(letter)].Unknown(); }
    std::string LetterOf(IUnknown* entity) const
    {
        for (int i = 0; i < 3; ++i) {
            if (entity == m_entities[i].Unknown())
                return std::string(1, "LMH"[i]);
        }
        return "-";
    }
    std::string Records(const CCorbEntities& registry) const
    {
        std::string records;
        for (HTREEITEM item : registry.GetAllItems())
            records += NumberOf(item) + LetterOf(registry.GetEntity(item).Get()) + " ";
        return records;
    }
    std::string References() const
    {
        std::string references;
        for (int i = 0; i < 3; ++i)
            references += std::string(" ") + "LMH"[i] + std::to_string(m_entities[i].references - 1);
        return references;
    }

    Entity* m_entities;
    CCorbEntities r, s;
};

TEST(CorbEntities, Table)
{
    for (const RegistryRow& row : kRows) {
        SCOPED_TRACE(row.operations);
        Entity entities[3];
        {
            Registry registry(entities);
            EXPECT_EQ(registry.Apply(row.operations), row.expected);
        }
        for (const Entity& entity : entities)
            EXPECT_EQ(entity.references, 1u) << "destroying a registry releases every reference";
    }
}

} // namespace
