# Rewrites qfstore's usage block in the form help2man lays out as a synopsis: "Usage: <first
# form>", then "  or:  <next form>" for each further one; a form wrapped over lines becomes one.
# help2man copies these lines into the page as they are, so a backslash becomes roff's "\e".
state == 0 && /^Usage:$/ { state = 1; next }
state == 1 { gsub(/\\/, "\\e") }
state == 1 && /^  [a-z]/ {
    if (line != "") print line
    sub(/^  /, "")
    line = (forms++ ? "  or:  " : "Usage: ") $0
    next
}
state == 1 && /^   +/ { sub(/^ +/, " "); line = line $0; next }
state == 1 { print line; state = 2 }
{ print }
