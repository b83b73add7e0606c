# NEWS.md as the Debian package's changelog, so the release notes are
# written once: each "## VERSION — YYYY-MM-DD" heading opens an entry, each
# "- " item becomes a "  * " line and its indented lines follow it.
#   awk -v version=V -v maintainer='NAME <MAIL>' -v output=FILE -f changelog.awk NEWS.md
# An entry is dated noon of its day, so two builds give the same package;
# releases of the same day are a minute apart, in their order, since each
# entry must be newer than the one before it.

function fail(problem) {
  printf "%s:%d: %s\n", FILENAME, FNR, problem > "/dev/stderr"
  failed = 1
  exit 1
}

/^## / {
  if (NF != 4 || $3 != "—" || $2 !~ /^[0-9]+\.[0-9]+\.[0-9]+$/ || $4 !~ /^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$/)
    fail("a release's heading is \"## VERSION — YYYY-MM-DD\"")
  if (entries == 0 && $2 != version)
    fail("the newest release is " $2 ", but the project's version is " version ": write its news first")
  entries++
  released[entries] = $2
  day[entries] = $4
  next
}

# The title and the words before the first release are for people only.
entries == 0 { next }

/^- / { sub(/^- /, "  * "); gsub(/`/, ""); body[entries] = body[entries] $0 "\n"; next }
/^  [^ ]/ { sub(/^  /, "    "); gsub(/`/, ""); body[entries] = body[entries] $0 "\n"; next }
/^$/ { next }
{ fail("a release holds only \"- \" items and their indented lines") }

END {
  if (failed)
    exit 1
  if (entries == 0)
    fail("no release")
  for (entry = 1; entry <= entries; entry++) {
    minute = 0
    for (older = entry + 1; older <= entries; older++)
      minute += day[older] == day[entry]
    command = sprintf("LC_ALL=C date -u -R -d '%s 12:%02d'", day[entry], minute)
    stamp = ""
    command | getline stamp
    close(command)
    if (stamp == "")
      fail("no such day: " day[entry])
    if (entry > 1)
      printf "\n" > output
    printf "quorrell (%s) unstable; urgency=medium\n\n%s\n -- %s  %s\n", released[entry], body[entry],
      maintainer, stamp > output
  }
}
