# Typical payroll rows for the batch benchmarks: two surnames, one or two
# given names, an ISO date; the same rows for the same seed and count.
#
#   awk -v rows=1000000 -f bench/people.awk > rows.csv
BEGIN {
    srand(42)
    ns = split("HERNANDEZ GARCIA MARTINEZ LOPEZ GONZALEZ PEREZ RODRIGUEZ SANCHEZ RAMIREZ CRUZ " \
               "FLORES GOMEZ MORALES VAZQUEZ JIMENEZ REYES DIAZ TORRES GUTIERREZ RUIZ MENDOZA " \
               "AGUILAR ORTIZ MORENO CASTILLO ROMERO ALVAREZ MENDEZ CHAVEZ RIVERA JUAREZ RAMOS " \
               "DOMINGUEZ HERRERA MEDINA CASTRO VARGAS GUZMAN VELAZQUEZ ROJAS", surname, " ")
    ng = split("JUAN MARIA JOSE LUIS ANA CARLOS JORGE MIGUEL PEDRO ALEJANDRO FERNANDO GUADALUPE " \
               "ROSA LAURA FRANCISCO ANTONIO JESUS MANUEL RICARDO ELENA PATRICIA VERONICA DANIEL SOFIA",
               given, " ")
    for (i = 0; i < rows; i++) {
        names = given[int(rand() * ng) + 1]
        if (rand() < 0.5) names = names " " given[int(rand() * ng) + 1]
        printf "%s,%s,%s,%04d-%02d-%02d\n", surname[int(rand() * ns) + 1], surname[int(rand() * ns) + 1],
               names, 1940 + int(rand() * 66), 1 + int(rand() * 12), 1 + int(rand() * 28)
    }
}
