// Generates the sample payload: the two folders that the packager turns into the
// archives Resource_1 (program files: the application, its uninstaller, the help) and
// Resource_2 (settings, example projects, reference data), with the layout, the sizes
// and the compressibility of the real ones. Everything is deterministic: a fixed seed
// and fixed file times, so that two runs give the same archives.
//
//   payload-generator OUTPUT_FOLDER [--orvelin EXE --uninstall EXE]
//
// With the two programs given (the Windows builds), "Orvelin.exe" and "Uninstall.exe"
// are those programs padded to their size by an overlay after the PE image; without
// them, placeholders of the same size stand in.
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Sizes of the real payload.
constexpr std::size_t kOrvelinSize = 14'134'272;
constexpr std::size_t kUninstallSize = 1'486'848;
constexpr std::size_t kProgramFilesSize = 29'077'574;
constexpr std::size_t kDataFilesSize = 1'128'145;

// Share of bytes that no compressor can shorten in each kind of content; the rest is
// repetition. Tuned so that the archives come out at the sizes of the real ones.
constexpr double kProgramNoise = 0.25;
constexpr double kPdfNoise = 0.93;

// splitmix64: small, fast and the same everywhere.
class Rng {
public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>((Next() >> 11) % n); }
  std::size_t Between(std::size_t low, std::size_t high) { return low + Below(high - low + 1); }
  double Unit() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }
  template <typename T>
  const T& Pick(const std::vector<T>& items) { return items[Below(items.size())]; }

private:
  std::uint64_t state_;
};

void AppendRandom(Rng& rng, std::string& out, std::size_t n) {
  const std::size_t start = out.size();
  out.resize(start + n);
  for (std::size_t i = 0; i < n; i += 8) {
    const std::uint64_t v = rng.Next();
    for (std::size_t k = 0; k < 8 && i + k < n; ++k) out[start + i + k] = static_cast<char>(v >> (8 * k));
  }
}

// Machine code and data: runs of noise among zero padding and repeats of recent bytes.
void AppendBinary(Rng& rng, std::string& out, std::size_t size, double noise) {
  const std::size_t end = out.size() + size;
  while (out.size() < end) {
    const std::size_t n = std::min(end - out.size(), rng.Between(256, 4096));
    const double draw = rng.Unit();
    if (draw < noise || out.size() < 32768) {
      AppendRandom(rng, out, n);
    } else if (draw < noise + (1 - noise) * 0.15) {
      out.append(n, '\0');
    } else {
      std::size_t from = out.size() - rng.Between(1024, 32000);
      for (std::size_t i = 0; i < n; ++i) out.push_back(out[from + i]);
    }
  }
}

void Pad(std::string& out, std::size_t size) {
  if (out.size() > size) out.resize(size);
  while (out.size() < size) out.push_back(out.size() % 64 == 63 ? '\n' : ' ');
}

// Sizes drawn between low and high for each weight class, then scaled to add up to total.
std::vector<std::size_t> Shares(Rng& rng, const std::vector<std::pair<std::size_t, std::size_t>>& ranges,
                                std::size_t total) {
  std::vector<double> weights;
  double sum = 0;
  for (const auto& [low, high] : ranges) sum += weights.emplace_back(static_cast<double>(rng.Between(low, high)));
  std::vector<std::size_t> sizes;
  std::size_t given = 0;
  for (std::size_t i = 0; i < weights.size(); ++i) {
    sizes.push_back(i + 1 < weights.size() ? static_cast<std::size_t>(weights[i] * static_cast<double>(total) / sum)
                                           : total - given);
    given += sizes.back();
  }
  return sizes;
}

const std::vector<std::string> kWords = {
    "le", "la", "les", "un", "une", "des", "du", "de", "et", "ou", "pour", "dans", "sur", "avec",
    "par", "est", "sont", "peut", "permet", "affiche", "choisir", "cliquer", "ouvrir", "fermer",
    "planning", "projet", "tâche", "tâches", "ressource", "ressources", "équipe", "calendrier",
    "congés", "durée", "début", "fin", "date", "jalon", "filtre", "tri", "colonne", "ligne",
    "fenêtre", "menu", "bouton", "onglet", "fichier", "dossier", "option", "options", "valeur",
    "liste", "semaine", "mois", "jour", "heure", "charge", "capacité", "coût", "budget", "avancement",
    "dépendance", "prédécesseur", "successeur", "critique", "marge", "affectation", "utilisateur",
    "modifier", "supprimer", "ajouter", "enregistrer", "imprimer", "exporter", "importer",
    "sélectionner", "afficher", "masquer", "glisser", "déposer", "barre", "outils", "zone",
    "écran", "vue", "diagramme", "Gantt", "rapport", "modèle", "référence", "paramètre", "atelier",
    "chantier", "maintenance", "intervention", "opération", "commande", "nouveau", "nouvelle",
    "premier", "dernier", "suivant", "précédent", "automatique", "manuel", "rapide", "simple",
    "complet", "ensemble", "chaque", "tout", "tous", "selon", "avant", "après", "pendant", "entre"};

std::string Sentence(Rng& rng) {
  std::string s;
  const std::size_t n = rng.Between(6, 18);
  for (std::size_t i = 0; i < n; ++i) {
    if (i) s += ' ';
    s += rng.Pick(kWords);
  }
  s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
  return s + ".";
}

std::string HelpPage(Rng& rng, const std::string& title, std::size_t size) {
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"fr\">\n<head>\n<meta charset=\"utf-8\">\n<title>Orvelin - " + title +
      "</title>\n<link rel=\"stylesheet\" href=\"aide.css\">\n</head>\n<body>\n<div class=\"entete\">"
      "<a href=\"index.htm\">Sommaire</a> | <a href=\"glossaire.htm\">Glossaire</a></div>\n<h1>" +
      title + "</h1>\n";
  while (page.size() + 200 < size) {
    switch (rng.Below(6)) {
      case 0: page += "<h2>" + Sentence(rng) + "</h2>\n"; break;
      case 1:
        page += "<ul>\n";
        for (std::size_t i = rng.Between(2, 6); i > 0; --i) page += "  <li>" + Sentence(rng) + "</li>\n";
        page += "</ul>\n";
        break;
      case 2:
        page += "<p class=\"capture\"><img src=\"ecran_" + rng.Pick(kWords) + ".png\" alt=\"" +
                Sentence(rng) + "\"></p>\n";
        break;
      default: page += "<p>" + Sentence(rng) + " " + Sentence(rng) + " " + Sentence(rng) + "</p>\n";
    }
  }
  page += "</body>\n</html>\n";
  Pad(page, size);
  return page;
}

// Compressed pictures: a header of the format, then data without redundancy.
std::string Picture(Rng& rng, const std::string& extension, std::size_t size) {
  std::string data = extension == "png"   ? std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)
                     : extension == "gif" ? std::string("GIF89a")
                                          : std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11);
  AppendRandom(rng, data, size - data.size());
  return data;
}

std::string Pdf(Rng& rng, std::size_t size) {
  std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  for (int object = 1; pdf.size() < size; ++object) {
    const std::size_t n = rng.Between(8000, 60000);
    pdf += std::to_string(object) + " 0 obj\n<< /Length " + std::to_string(n) +
           " /Filter /FlateDecode >>\nstream\n";
    AppendBinary(rng, pdf, n, kPdfNoise);
    pdf += "\nendstream\nendobj\n";
  }
  pdf.resize(size - 6);
  return pdf + "%%EOF\n";
}

std::string StyleSheet(Rng& rng, std::size_t size) {
  static const std::vector<std::string> selectors = {"body", "h1", "h2", "p", "ul", "li", "a", "img",
                                                     ".entete", ".capture", ".note", "table", "td"};
  static const std::vector<std::string> rules = {
      "margin: 0 0 8px 0;", "font-family: Segoe UI, Arial, sans-serif;", "color: #1F3A5F;",
      "font-size: 10pt;", "padding: 4px 8px;", "border: 1px solid #C8D2DC;", "text-decoration: none;"};
  std::string css = "/* Aide Orvelin */\n";
  while (css.size() < size) {
    css += rng.Pick(selectors) + " {\n";
    for (std::size_t i = rng.Between(2, 5); i > 0; --i) css += "  " + rng.Pick(rules) + "\n";
    css += "}\n";
  }
  Pad(css, size);
  return css;
}

// The application's records: one line per record, fields separated by ";", in the
// system's single-byte code page. Most fields repeat from a few values.
std::string Records(Rng& rng, const std::string& kind, std::size_t size) {
  static const std::vector<std::string> teams = {"Equipe A", "Equipe B", "Atelier", "Bureau d'\xE9tudes",
                                                 "Maintenance", "Logistique"};
  static const std::vector<std::string> labels = {
      "Pr\xE9paration", "R\xE9union de chantier", "Livraison", "Montage", "Contr\xF4le", "R\xE9" "ception",
      "Peinture", "C\xE2" "blage", "Essais", "Nettoyage", "Formation", "Cong\xE9s"};
  std::string text = "[";
  text += kind;
  text += "]\r\nVersion=6.1\r\n";
  int code = 1000;
  while (text.size() < size) {
    code += 1 + static_cast<int>(rng.Below(2));
    text += 'T';
    text += std::to_string(code) + ";" + rng.Pick(labels) + ";" + rng.Pick(teams) + ";" +
            std::to_string(code % 28 + 1) + "/" + std::to_string(code / 28 % 12 + 1) + "/2024;" +
            std::to_string(rng.Between(1, 16)) + ";0;N;100;0;0;1;;;0;Standard;Normal\r\n";
  }
  Pad(text, size);
  return text;
}

struct File {
  std::string name;  // relative, "/" separators, UTF-8
  std::string data;
};

// A fixed local time between 2023 and 2024, in working hours and on even seconds: the
// same wall-clock stamp in every time zone, away from daylight-saving changes.
std::time_t FileTime(Rng& rng) {
  std::tm t{};
  t.tm_year = static_cast<int>(rng.Between(2023, 2024)) - 1900;
  t.tm_mon = static_cast<int>(rng.Below(12));
  t.tm_mday = static_cast<int>(rng.Between(1, 28));
  t.tm_hour = static_cast<int>(rng.Between(8, 18));
  t.tm_min = static_cast<int>(rng.Below(60));
  t.tm_sec = static_cast<int>(rng.Below(30)) * 2;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

void WriteTree(const fs::path& root, const std::vector<File>& files, std::size_t expectedSize, Rng& rng) {
  std::size_t total = 0;
  for (const File& f : files) total += f.data.size();
  if (total != expectedSize)
    throw std::runtime_error(root.string() + ": " + std::to_string(total) + " bytes instead of " +
                             std::to_string(expectedSize));
  fs::remove_all(root);
  for (const File& f : files) {
    const fs::path path = root / f.name;  // the host keeps names as UTF-8 bytes
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(f.data.data(), static_cast<std::streamsize>(f.data.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path.string());
    const timespec stamp{FileTime(rng), 0};
    const timespec times[2] = {stamp, stamp};
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
      throw std::runtime_error("cannot date " + path.string());
  }
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) throw std::runtime_error("cannot read " + path.string());
  return data;
}

// A built program padded by an overlay, or a placeholder that only looks like one.
std::string Program(Rng& rng, const fs::path& built, std::size_t size) {
  std::string data;
  if (built.empty()) {
    data = std::string("MZ\x90\0\x03\0\0\0\x04\0\0\0\xFF\xFF\0\0", 16);
    data += "Placeholder of a Windows program: this build makes no Windows programs.";
  } else {
    data = ReadFile(built);
    if (data.size() > size) throw std::runtime_error(built.string() + " is larger than its payload size");
  }
  AppendBinary(rng, data, size - data.size(), kProgramNoise);
  return data;
}

std::vector<File> ProgramFiles(Rng& rng, const fs::path& orvelin, const fs::path& uninstall) {
  std::vector<File> files;
  files.push_back({"Orvelin.exe", Program(rng, orvelin, kOrvelinSize)});
  files.push_back({"Uninstall.exe", Program(rng, uninstall, kUninstallSize)});

  static const std::vector<std::string> pages = {
      "index", "sommaire", "demarrage", "installation", "interface", "projets", "taches",
      "ressources", "calendrier", "conges", "plannings", "tris", "filtres", "impression",
      "export", "import", "options", "raccourcis", "affichage", "equipes", "couts", "rapports",
      "diagramme", "jalons", "dependances", "sauvegarde", "faq", "glossaire"};
  for (const std::string& page : pages)
    files.push_back({"Aide/" + page + ".htm", HelpPage(rng, page, rng.Between(30000, 70000))});
  files.push_back({"Aide/aide.css", StyleSheet(rng, 14200)});
  files.push_back({"Aide/Orvelin - Guide utilisateur.pdf", Pdf(rng, 2'412'000)});

  // 91 pictures: screen captures, icons and photos, sharing what is left.
  std::size_t used = 0;
  for (const File& f : files) used += f.data.size();
  std::vector<std::string> names;
  std::vector<std::pair<std::size_t, std::size_t>> ranges;
  for (std::size_t i = 0; i < 91; ++i) {
    const std::string& topic = pages[i % pages.size()];
    const std::string number = std::to_string(i / pages.size() + 1);
    const bool icon = i >= 60 && i < 76;
    names.push_back(i < 60 ? "ecran_" + topic + "_" + number + ".png"
                    : icon ? "icone_" + topic + ".gif"
                           : "photo_" + topic + ".jpg");
    ranges.emplace_back(icon ? std::pair{2000, 9000} : std::pair{55000, 175000});
  }
  const std::vector<std::size_t> sizes = Shares(rng, ranges, kProgramFilesSize - used);
  for (std::size_t i = 0; i < names.size(); ++i)
    files.push_back({"Aide/" + names[i], Picture(rng, names[i].substr(names[i].size() - 3), sizes[i])});
  return files;
}

// Names are built so that the share of names with accented letters is the real one.
std::vector<File> DataFiles(Rng& rng) {
  std::vector<File> files;
  files.push_back({"Orvelin.ini", Records(rng, "Orvelin", 3180)});

  const std::vector<std::string> projects = {"Chantier Hôtel de Ville", "Rénovation école Jules Ferry",
                                             "Atelier mécanique", "Exemple simple", "Maintenance annuelle"};
  for (const std::string& project : projects)
    files.push_back({"Projets/" + project + "/" + project + ".prj", Records(rng, "Projet", rng.Between(52000, 68000))});
  files.push_back({"Projets/" + projects[0] + "/" + projects[0] + ".act", Records(rng, "Activites", 41000)});

  const std::vector<std::string> accented = {
      "Électricité", "Génie civil", "Sécurité", "Qualité", "Réception", "Dépannage", "Matériel",
      "Préparation", "Études", "Façades", "Métallerie", "Télécom", "Véhicules", "Dépôt central",
      "Pièces détachées", "Contrôle", "Équipe nuit", "Sous-traitance étrangère", "Démolition"};
  const std::vector<std::string> plain = {
      "Maintenance", "Production", "Logistique", "Atelier", "Chantier", "Peinture", "Plomberie",
      "Toiture", "Voirie", "Espaces verts", "Informatique", "Transport", "Magasin", "Nettoyage",
      "Formation", "Accueil", "Archives", "Charpente", "Isolation", "Ventilation"};
  struct Folder {
    std::string name, prefix, extension;
    std::size_t count, accentedCount;
  };
  const std::vector<Folder> folders = {{"Plannings", "Planning", ".pln", 48, 27},
                                       {"Tris", "Tri", ".tri", 24, 14},
                                       {"Filtres", "Filtre", ".flt", 36, 21},
                                       {"Conges", "Calendrier", ".cng", 28, 15}};
  std::vector<std::string> names;
  std::vector<std::string> prefixes;
  for (const Folder& folder : folders) {
    std::size_t a = 0, p = 0;
    for (std::size_t i = 0; i < folder.count; ++i) {
      // accented and plain names interleaved, each pool walked in order, then by year
      const bool withAccent = i * folder.accentedCount / folder.count != (i + 1) * folder.accentedCount / folder.count;
      const auto& pool = withAccent ? accented : plain;
      std::size_t& k = withAccent ? a : p;
      const std::string subject = pool[k % pool.size()] + " " + std::to_string(2022 + k / pool.size());
      ++k;
      names.push_back("Reference/" + folder.name + "/" + folder.prefix + " " + subject + folder.extension);
      prefixes.push_back(folder.prefix);
    }
  }
  std::size_t used = 0;
  for (const File& f : files) used += f.data.size();
  const std::vector<std::size_t> sizes =
      Shares(rng, std::vector<std::pair<std::size_t, std::size_t>>(names.size(), {4000, 7600}), kDataFilesSize - used);
  for (std::size_t i = 0; i < names.size(); ++i) files.push_back({names[i], Records(rng, prefixes[i], sizes[i])});
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc != 2 && argc != 6) {
      std::cerr << "usage: payload-generator OUTPUT_FOLDER [--orvelin EXE --uninstall EXE]\n";
      return 2;
    }
    fs::path orvelin, uninstall;
    for (int i = 2; i + 1 < argc; i += 2) {
      const std::string option = argv[i];
      if (option == "--orvelin") orvelin = argv[i + 1];
      else if (option == "--uninstall") uninstall = argv[i + 1];
      else throw std::runtime_error("unknown option " + option);
    }
    const fs::path output = argv[1];
    Rng rng(0x0EB1'6110'2024ull);
    WriteTree(output / "Resource_1", ProgramFiles(rng, orvelin, uninstall), kProgramFilesSize, rng);
    WriteTree(output / "Resource_2", DataFiles(rng), kDataFilesSize, rng);
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "payload-generator: " << e.what() << "\n";
    return 1;
  }
}
