// Writes the stored definitions held in recorded catalog replies (the
// tests' JSON stand-ins for servers that cannot run here) as one seed file
// each, so the parser targets start from the texts real servers store:
//   seeds_from_replies <out folder> <reply.json>...
// A definition is a text cell of a row that starts with CREATE or ALTER.
#include <nlohmann/json.hpp>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

bool IsDefinition(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  std::string head;
  for (; i < text.size() && head.size() < 6; ++i)
    head += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
  return head == "CREATE" || head.rfind("ALTER", 0) == 0;
}

void Walk(const nlohmann::json& j, const std::filesystem::path& out, const std::string& stem,
          int& n) {
  if (j.is_string()) {
    const std::string text = j.get<std::string>();
    if (!IsDefinition(text)) return;
    std::ofstream(out / (stem + "-" + std::to_string(++n) + ".sql"), std::ios::binary) << text;
  } else if (j.is_array() || j.is_object()) {
    for (const auto& item : j) Walk(item, out, stem, n);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: seeds_from_replies <out folder> <reply.json>...\n");
    return 2;
  }
  const std::filesystem::path out = argv[1];
  std::filesystem::create_directories(out);
  int written = 0;
  for (int a = 2; a < argc; ++a) {
    std::ifstream in(argv[a]);
    const nlohmann::json j = nlohmann::json::parse(in, nullptr, /*allow_exceptions=*/false);
    if (j.is_discarded()) {
      std::fprintf(stderr, "seeds_from_replies: %s is no JSON\n", argv[a]);
      return 1;
    }
    int n = 0;
    for (const auto& statement : j.value("statements", nlohmann::json::array()))
      if (statement.contains("rows"))
        Walk(statement["rows"], out, std::filesystem::path(argv[a]).stem(), n);
    written += n;
  }
  std::printf("%d\n", written);
  return 0;
}
