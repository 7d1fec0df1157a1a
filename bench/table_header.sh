# Sourced by the benchmarks that generate celltrend tables: table_header N
# prints the five '!' lines of celltrend's plain table (title, description,
# "!", the column titles, the rule) for a generated series of N rows, whose
# rows then follow in (F6.2, 14F12.5, 2F12.3).
table_header() {
  awk -v n="$1" 'BEGIN {
    print "! generated monoclinic series of " n " temperatures"
    print "! Cell parameters and ESD extracted from nreport_TK.HTML"
    print "!"
    printf "!   TK        a(A)      ESD(A)        b(A)      ESD(A)        c(A)      ESD(A)"
    printf "  alpha(deg)    ESD(deg)   beta(deg)    ESD(deg)  gamma(deg)    ESD(deg)"
    print "  volume(A3)     ESD(A3)  mosa.(deg)    ESD(deg) "
    rule = "!"; for (i = 0; i < 200; i++) rule = rule "-"; print rule
  }'
}
