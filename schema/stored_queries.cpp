#include "schema/stored_queries.h"

#include <stdexcept>

namespace schema {

const StoredQuery& StoredQueryAt(const std::vector<StoredQuery>& coll, int position) {
  for (const auto& item : coll)
    if (item.position == position) return item;
  throw std::out_of_range("no stored query at position " + std::to_string(position));
}

void LoadStoredQuery(db::Query& q, const std::vector<StoredQuery>& coll, int position) {
  const StoredQuery& item = StoredQueryAt(coll, position);
  q.Close();
  q.Clear();
  q.SetLines(item.lines);
  q.SetParamCheck(true);
}

std::string ListQueries() {
  std::string out;
  auto list = [&out](const char* collection, const std::vector<StoredQuery>& coll) {
    for (const auto& item : coll) {
      out += "-- " + std::string(collection) + " " + std::to_string(item.position) + " " + item.name + " (" +
             std::to_string(item.lines.size()) + " lines)\n";
      for (const auto& line : item.lines) out += line + "\n";
      out += "\n";
    }
  };
  list("LMDSL_SQL", LMDSL_SQL());
  list("LMDSL_ACC", LMDSL_ACC());
  return out;
}

}  // namespace schema
