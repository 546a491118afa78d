#include <gtest/gtest.h>

#include "followup/followup_status.h"
#include "programme/programme_data.h"
#include "tests/support/text.h"

namespace {

using namespace followup;
using platform::DateTime;

DateTime at(int day, int month, int hour = 0) { return DateTime::fromParts(2019, month, day, hour, 0, 0); }

const char* const kSent = "Contrat envoyé par KQ=Fait le 1/6/2019";
const char* const kBack = "Contrat reçu par KQ=Fait le 9/6/2019";
const char* const kPlanWithDeadline =
    "Contrat envoyé par KQ$$$Contrat reçu par KQ=11/6/2019$$$Visuel et affiches demandés";
const char* const kPlanBare = "Contrat envoyé par KQ$$$Contrat reçu par KQ$$$Règlement 1";

struct Status {
    QString text;
    COLORREF colour;
};

Status status(const QString& todo, const QString& done, const DateTime& now, const DateTime& slotDate = at(10, 7)) {
    Status s{q("left over"), 0};
    s.colour = FollowUpStatus(todo, done, now, slotDate, s.text);
    return s;
}

TEST(FollowUpStatus, GradientGoesFromRedToBlueAndIsClamped) {
    EXPECT_EQ(gradient(0.5), rgb(127, 0, 127));
    EXPECT_EQ(gradient(0.0), kRed);
    EXPECT_EQ(gradient(1.0), kBlue);
    EXPECT_EQ(gradient(-3.0), kRed);
    EXPECT_EQ(gradient(7.0), kBlue);
    EXPECT_EQ(gradient(1.0 / 0.0), kBlue);
    EXPECT_EQ(gradient(0.0 / 0.0), kRed);
    EXPECT_EQ(redOf(gradient(0.25)), 191u);
    EXPECT_EQ(blueOf(gradient(0.25)), 63u);
    EXPECT_EQ(greenOf(kOrange), 128u);
    EXPECT_EQ(rgb(255, 128, 0), kOrange);
}

TEST(FollowUpStatus, NoPlanAndContractToSend) {
    Status s = status(QString(), q(kSent), at(5, 6));
    EXPECT_EQ(s.text, q("Pas de surveillance"));
    EXPECT_EQ(s.colour, kGrey);
    s = status(QString(), QString(), at(5, 8));
    EXPECT_EQ(s.text, q("Pas de surveillance"));

    s = status(q(kPlanWithDeadline), QString(), at(5, 6, 12));
    EXPECT_EQ(s.text, q("Contrat à envoyer"));
    EXPECT_EQ(s.colour, kOrange);
}

TEST(FollowUpStatus, TheContractChecksRunUpToTheSlotDateItself) {
    const DateTime slotDate = at(10, 7);
    // At the slot date exactly the slot still counts as upcoming; a second later it is past
    // and only what follows the performance is looked at.
    EXPECT_EQ(status(q(kPlanWithDeadline), QString(), slotDate, slotDate).text, q("Contrat à envoyer"));
    EXPECT_EQ(status(q(kPlanWithDeadline), QString(), DateTime::fromParts(2019, 7, 10, 0, 0, 1), slotDate).text,
              q(", Stat à envoyer à la compagnie"));
}

TEST(FollowUpStatus, ReturnCountdownAgainstTheDeadline) {
    const QString plan = q(kPlanWithDeadline);
    const QString done = q(kSent);
    Status s = status(plan, done, at(5, 6, 12));
    EXPECT_EQ(s.text,
              q("Attente retour contrat ,envoi Fait le 1/6/2019, date limite retour 11/6/2019 : 5 jours restants"));
    EXPECT_EQ(s.colour, rgb(127, 0, 127));

    s = status(plan, done, at(13, 6, 12));
    EXPECT_EQ(s.text,
              q("Attente retour contrat ,envoi Fait le 1/6/2019, date limite retour 11/6/2019 : 2 jours de retard"));
    EXPECT_EQ(s.colour, kRed);

    s = status(plan, done, at(11, 6, 15));
    EXPECT_EQ(s.text,
              q("Attente retour contrat ,envoi Fait le 1/6/2019, date limite retour 11/6/2019 : 0 jours restants"));
    EXPECT_EQ(s.colour, rgb(255, 0, 0));

    s = status(q(kPlanBare), done, at(5, 6, 12));
    EXPECT_EQ(s.text, q("Attente retour contrat (envoi Fait le 1/6/2019)"));
    EXPECT_EQ(s.colour, kBlue);
}

TEST(FollowUpStatus, CountdownColourStaysBounded) {
    // Sent on the deadline day itself: total 0.
    Status s = status(q("Contrat reçu par KQ=11/6/2019"), q("Contrat envoyé par KQ=Fait le 11/6/2019"), at(9, 6, 12));
    EXPECT_EQ(s.colour, kBlue);  // 1 of 0 days left
    EXPECT_TRUE(s.text.endsWith(q(": 1 jours restants")));
    s = status(q("Contrat reçu par KQ=11/6/2019"), q("Contrat envoyé par KQ=Fait le 11/6/2019"), at(11, 6, 6));
    EXPECT_EQ(s.colour, kRed);  // 0 of 0 days left
    // A sending date after now: more days remain than the whole span.
    s = status(q("Contrat reçu par KQ=11/6/2019"), q("Contrat envoyé par KQ=Fait le 8/6/2019"), at(1, 6));
    EXPECT_EQ(s.colour, kBlue);
    EXPECT_TRUE(s.text.endsWith(q(": 10 jours restants")));
}

TEST(FollowUpStatus, UnreadableDatesShowTheSendingDateOnly) {
    Status s = status(q("Contrat reçu par KQ=bientôt"), q("Contrat envoyé par KQ=Fait le 1/6/2019"), at(5, 6));
    EXPECT_EQ(s.text, q("Attente retour contrat (envoi Fait le 1/6/2019)"));
    EXPECT_EQ(s.colour, kBlue);
    s = status(q("Contrat reçu par KQ=31/6/2019"), q("Contrat envoyé par KQ=Fait le 1/6/2019"), at(5, 6));
    EXPECT_EQ(s.colour, kBlue);
    s = status(q("Contrat reçu par KQ=11/6/2019"), q("Contrat envoyé par KQ=oui"), at(5, 6));
    EXPECT_EQ(s.text, q("Attente retour contrat (envoi oui)"));
    EXPECT_EQ(s.colour, kBlue);
}

TEST(FollowUpStatus, ContractBackAndVisuals) {
    const QString plan = q(kPlanBare);
    Status s = status(plan, q(kSent) + "$$$" + q(kBack), at(5, 6));
    EXPECT_EQ(s.text, q("Contrat à retourner, Visuels et affiches à demander"));
    EXPECT_EQ(s.colour, kOrange);

    const QString returned =
        q(kSent) + "$$$" + q(kBack) + q("$$$Contrat retouné à la compagnie par KQ=Fait le 10/6/2019");
    s = status(plan, returned + q("$$$Visuel et affiches demandés=Fait le 1/6/2019"), at(5, 6));
    EXPECT_EQ(s.text, q("Contrat ok, Attente visuel et affiches"));
    EXPECT_EQ(s.colour, kBlue);
    s = status(plan, q(kSent) + "$$$" + q(kBack) + q("$$$Visuel et affiches demandés=Fait le 1/6/2019"), at(5, 6));
    EXPECT_EQ(s.text, q("Contrat à retourner, Attente visuel et affiches"));
    EXPECT_EQ(s.colour, kOrange);
    s = status(
        plan,
        returned + q("$$$Visuel et affiches demandés=Fait le 1/6/2019$$$Visuel et affiches reçus=Fait le 2/6/2019"),
        at(5, 6));
    EXPECT_EQ(s.text, q("Contrat ok, Visuels et affiches ok"));
    EXPECT_EQ(s.colour, kGreen);
}

QString paymentsPlan(const char* third = "Règlement 3=1/8/2019:350") {
    return q("Contrat envoyé par KQ$$$Contrat reçu par KQ$$$Règlement 1=1/5/2019:350$$$Règlement 2=5/6/2019:350$$$") +
           q(third) + q("$$$Règlement 4=1/9/2019:350$$$Règlement 5=1/10/2019:350");
}

TEST(FollowUpStatus, PaymentsDueAgainstPaid) {
    const QString done = q(kSent) + "$$$" + q(kBack) + q("$$$Règlement 1=Fait le 2/5/2019 (350)");
    // The second deadline is today at midnight: due already.
    Status s = status(paymentsPlan(), done, at(5, 6));
    EXPECT_EQ(s.text,
              q("Contrat à retourner, Visuels et affiches à demander, Paiement non réalisé (dû 700.00, payé 350.00)"));
    EXPECT_EQ(s.colour, kDarkRed);

    s = status(paymentsPlan(), done + q("$$$Règlement 2=Fait le 5/6/2019 (350.50)"), at(5, 6, 12));
    EXPECT_TRUE(s.text.endsWith(q(", Tout paiement à jour (dû 700.00, payé 700.50)"))) << s.text.toStdString();
    EXPECT_EQ(s.colour, kGreen);

    // Nothing due yet, nothing paid: green replaces the orange of the earlier steps.
    s = status(paymentsPlan(), q(kSent) + "$$$" + q(kBack), at(1, 4));
    EXPECT_EQ(s.text,
              q("Contrat à retourner, Visuels et affiches à demander, Tout paiement à jour (dû 0.00, payé 0.00)"));
    EXPECT_EQ(s.colour, kGreen);

    // A deadline that makes no date never counts.
    s = status(paymentsPlan("Règlement 3=31/2/2019:350"), q(kSent) + "$$$" + q(kBack), at(1, 12));
    EXPECT_TRUE(s.text.contains(q("(dû 1400.00, payé 0.00)"))) << s.text.toStdString();
}

TEST(FollowUpStatus, NoPaymentsClauseWithoutFivePlannedPayments) {
    const QString done = q(kSent) + "$$$" + q(kBack);
    Status s = status(q(kPlanBare) + q("$$$Règlement 2$$$Règlement 3$$$Règlement 4$$$Règlement 5"), done, at(5, 6));
    EXPECT_EQ(s.text, q("Contrat à retourner, Visuels et affiches à demander"));
    s = status(paymentsPlan("Règlement 3:350"), done, at(5, 6));
    EXPECT_EQ(s.text, q("Contrat à retourner, Visuels et affiches à demander"));
}

TEST(FollowUpStatus, PastSlotClosingSteps) {
    const DateTime slot = at(10, 7);
    QString done = q("Règlement 1=Fait le 2/5/2019 (350)");
    // On its own day the slot is already past: no contract step, the text starts with ", ".
    Status s = status(paymentsPlan(), done, at(10, 7, 20), slot);
    EXPECT_EQ(s.text, q(", Paiement non réalisé (dû 700.00, payé 350.00), Stat à envoyer à la compagnie"));
    EXPECT_EQ(s.colour, kOrange);

    done += q("$$$Stat envoyé par KQ à la compagnie=Fait le 20/7/2019");
    s = status(q(kPlanBare), done, at(1, 8), slot);
    EXPECT_EQ(s.text, q(", Attente facture et attestation TVA de la compagnie"));
    EXPECT_EQ(s.colour, kBlue);

    done += q("$$$Facture et attestation TVA de la compagnie reçues par KQ=Fait le 25/7/2019");
    s = status(q(kPlanBare), done, at(1, 8), slot);
    EXPECT_EQ(s.text, q(", Paiement de la compagnie à faire"));
    EXPECT_EQ(s.colour, kOrange);

    done += q("$$$Paiement de la compagnie fait par KQ=Fait le 30/7/2019");
    s = status(q(kPlanBare), done, at(1, 8), slot);
    EXPECT_EQ(s.text, q(", Clôturé"));
    EXPECT_EQ(s.colour, kGreen);

    // Without a valid slot date neither the upcoming nor the closing part applies.
    s = status(q(kPlanBare), QString(), at(1, 8), DateTime::invalid());
    EXPECT_EQ(s.text, QString());
    EXPECT_EQ(s.colour, kGrey);
}

TEST(FollowUpStatus, ReadsTheLoadedTextsOfTheGroupHead) {
    programme::clearAll();
    programme::Timeslot empty;
    programme::Timeslot head;
    head.todo = q(kPlanWithDeadline);
    head.done = q(kSent);
    programme::timeslots() = {empty, head};
    QString text = q("old");
    EXPECT_EQ(FollowUpStatus(1, at(5, 6, 12), at(10, 7), text), rgb(127, 0, 127));
    EXPECT_TRUE(text.endsWith(q("5 jours restants")));
    EXPECT_EQ(FollowUpStatus(0, at(5, 6, 12), at(10, 7), text), kGrey);
    EXPECT_EQ(text, q("Pas de surveillance"));
    EXPECT_EQ(FollowUpStatus(2, at(5, 6, 12), at(10, 7), text), kGrey);
    EXPECT_EQ(text, QString());
    programme::clearAll();
}

}  // namespace
